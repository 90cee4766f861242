#include "shop/article_upload.h"

#include <algorithm>
#include <string>

#include "common/cancel_request.h"
#include "common/status_area.h"
#include "common/transfer_context.h"
#include "common/user_dialogs.h"
#include "settings/settings.h"
#include "shop/ftp_control.h"
#include "shop/shop_connection.h"
#include "shop/shop_page.h"

namespace warenkai {
namespace {

constexpr const char* kImportFolder = "/login/admin/sonstiges/import/import/";
constexpr const char* kImportPage = "/login/admin/sonstiges/import/import2.php?Autowert=";

std::string ArticleFileName(int fileNumber) {
    return "artikelstamm" + std::to_string(fileNumber) + ".csv";
}

}  // namespace

int ArticleUpload::Count() const {
    return static_cast<int>(std::count(articleFiles.begin(), articleFiles.end(), true)) + (groupFile ? 1 : 0);
}

void UploadArticleFiles(const Settings& settings, TransferContext& context, int articleFileCount,
                        ArticleUpload& uploaded) {
    StatusArea& status = context.status;
    uploaded.articleFiles.assign(static_cast<std::size_t>(std::max(articleFileCount, 0)), false);
    ShopConnectionOptions options;
    options.connectionFlags = 0;  // the article upload never asks for passive mode
    // The window's status text is overwritten by the next one: the error list keeps the failure.
    options.failureErrorLine = kConnectionFailedLine;
    ShopConnection(settings, context, options, [&] {
        for (int i = 1; i <= articleFileCount; ++i) {
            StopIfCancelled(context.cancel, i - 1, articleFileCount, "Dateien");
            status.SetStatusText("Übertrage den Artikelstamm" + std::to_string(i));
            const auto local = context.programFolder / ArticleFileName(i);
            const std::string remote = settings.shopRoot + kImportFolder + ArticleFileName(i);
            if (context.ftp.upload(local, remote, 1)) {
                uploaded.articleFiles[static_cast<std::size_t>(i - 1)] = true;
                status.SetStatusText("Artikelstamm erfolgreich übertragen");
            } else {
                status.SetStatusText("Fehler beim übertragen des Artikelstammes");
                status.AddError("Fehler: Artikelstamm" + std::to_string(i), context.ftp.lastFailure());
            }
        }
        StopIfCancelled(context.cancel, articleFileCount, articleFileCount, "Dateien");
        status.SetStatusText("Übertrage den Artikelgruppen");
        const auto local = context.programFolder / "artikelgruppe.csv";
        const std::string remote = settings.shopRoot + kImportFolder + "artikelgruppe.csv";
        if (context.ftp.upload(local, remote, 1)) {
            uploaded.groupFile = true;
            status.SetStatusText("Artikelgruppen erfolgreich übertragen");
        } else {
            status.SetStatusText("Fehler beim übertragen des Artikelgruppen");
            status.AddError("Fehler: Artikelgruppen", context.ftp.lastFailure());
        }
    });
}

void RunShopImport(const Settings& settings, TransferContext& context, const ArticleUpload& uploaded) {
    StatusArea& status = context.status;
    UserDialogs& dialogs = context.dialogs;
    const auto& files = uploaded.articleFiles;
    const int count = static_cast<int>(files.size());
    if (uploaded.groupFile || std::find(files.begin(), files.end(), true) != files.end()) {
        status.SetStatusText("Dateien in den Webshop einlesen");
        dialogs.ShowMessage("Bitte schließen Sie alle Webbrowser");
        for (int i = 1; i <= count; ++i) {
            if (!files[static_cast<std::size_t>(i - 1)]) {
                continue;
            }
            StopIfCancelled(context.cancel, i - 1, count, "Dateien");
            status.SetStatusText("Lese den die Datei Artikelstamm" + std::to_string(i) + " in den Webshop ein");
            const std::string page = settings.shopLink + kImportPage + ArticleFileName(i) + "&Tabelle=artikel";
            const char* const next = "Klicken Sie auf OK wenn die Datei fertig importiert worden ist";
            dialogs.ShowMessage(OpenShopPage(context, page) ? next : OpenByHandMessage(page, next));
        }
        if (uploaded.groupFile) {
            const std::string page = settings.shopLink + kImportPage + "artikelgruppe.csv&Tabelle=gruppen";
            if (!OpenShopPage(context, page)) {
                dialogs.ShowMessage(OpenByHandMessage(page, ""));
            }
        }
    }
    dialogs.ShowMessage("Fertig");
    status.SetStatusText("Fertig");
}

}  // namespace warenkai
