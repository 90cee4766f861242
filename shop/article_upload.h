#pragma once

namespace warenkai {

struct Settings;
struct TransferContext;

// Uploads artikelstamm1.csv to artikelstamm<articleFileCount>.csv and artikelgruppe.csv from the
// program folder into the shop's import folder over one connection.
void UploadArticleFiles(const Settings& settings, TransferContext& context, int articleFileCount);

// Has the shop read the uploaded files: opens its import page once per file, waiting for the user's OK
// after each article file, and ends with "Fertig".
void RunShopImport(const Settings& settings, TransferContext& context, int articleFileCount);

}  // namespace warenkai
