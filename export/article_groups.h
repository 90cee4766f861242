#pragma once

#include "export/output_file.h"

namespace warenkai {

struct TransferContext;
struct ArticlesSeen;

inline constexpr const char* kGroupFileName = "artikelgruppe.csv";

// The second walk of the article transfer: "artikelgruppe.csv" in the program folder, one line
// (upper group, lower group) per article that goes to the shop and has a group, in table order. It
// walks what the article walk saw of the article table (`seen`), with its record count, so it makes
// no call on the article table; the article groups come from the same GroupTree.
void ExportArticleGroups(TransferContext& context, ArticlesSeen& seen, OutputFolder& folder = LocalDisk());

}  // namespace warenkai
