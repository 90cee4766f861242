#pragma once

#include "export/output_file.h"

namespace warenkai {

struct Settings;
struct TransferContext;
struct SelectlineSession;
struct ArticlesSeen;

// The first walk of the article transfer: one record per article of the article table that goes to
// the shop, built from the field mapping and written into artikelstamm1.csv, artikelstamm2.csv, …
// in the program folder. The session needs the tables "AR", "AG", "TE", "AP" and "UD"; the article
// table is left standing after its last record. Each value is read from Selectline once (see
// ArticleReader); what the group walk needs of each article is kept in `seen`. Returns
// articleFileCount, the number of article files begun. Errors of the automation server and files
// that cannot be written end the walk by exception; the files written so far are then complete and
// closed.
int ExportArticles(const Settings& settings, TransferContext& context, SelectlineSession& session, ArticlesSeen& seen,
                   OutputFolder& folder = LocalDisk());

}  // namespace warenkai
