#pragma once

#include <vector>

namespace warenkai {

struct Settings;
struct TransferContext;

// What UploadArticleFiles stored on the shop in this run.
struct ArticleUpload {
    std::vector<bool> articleFiles;  // [i - 1]: artikelstamm<i>.csv was uploaded
    bool groupFile = false;          // artikelgruppe.csv was uploaded

    // How many files were stored.
    int Count() const;
};

// Uploads artikelstamm1.csv to artikelstamm<articleFileCount>.csv and artikelgruppe.csv from the
// program folder into the shop's import folder over one connection. A failed connection gets a line
// in the error list as well as the status text; nothing is uploaded then. `uploaded` follows each
// file, so it tells what was stored also when a cancel ends the upload.
void UploadArticleFiles(const Settings& settings, TransferContext& context, int articleFileCount,
                        ArticleUpload& uploaded);

// Has the shop read the files uploaded in this run: opens its import page once per uploaded file,
// waiting for the user's OK after each article file, and ends with "Fertig". A file that was not
// uploaded gets no page: the shop would read the file of an earlier run as if it were new. When
// nothing was uploaded the pages and the request to close the browsers are left out.
void RunShopImport(const Settings& settings, TransferContext& context, const ArticleUpload& uploaded);

}  // namespace warenkai
