#include "import/shop_export_download.h"

#include <string>

#include "common/cancel_request.h"
#include "common/status_area.h"
#include "common/text_file.h"
#include "common/transfer_context.h"
#include "common/user_dialogs.h"
#include "import/customer_import.h"
#include "import/order_import.h"
#include "settings/settings.h"
#include "shop/article_upload.h"
#include "shop/ftp_control.h"
#include "shop/shop_connection.h"
#include "shop/shop_page.h"

namespace warenkai {

bool DownloadShopExports(const Settings& settings, TransferContext& context) {
    const auto customerFile = context.programFolder / kCustomerFileName;
    const auto orderFile = context.programFolder / kOrderFileName;
    RemoveFileForced(customerFile);
    RemoveFileForced(orderFile);

    context.status.SetStatusText("Exportiere Dateien vom Webshop");
    if (!OpenShopPage(context, settings.shopLink + kShopExportPage)) {
        context.status.SetStatusText(kExportPageFailedStatus);
        context.status.AddError(kExportPageFailedLine);
        return false;
    }
    context.dialogs.ShowMessage("Klicken Sie auf OK wenn die Datei fertig exportiert worden ist");

    ShopConnectionOptions options;
    options.connectionFlags = kPassiveModeFlag;  // always passive here, whatever "Passiv Modus" says
    options.failureErrorLine = kConnectionFailedLine;
    ShopConnection(settings, context, options, [&] {
        context.status.SetStatusText("Übertrage des Kundenstamms");
        if (context.ftp.download(customerFile, settings.shopRoot + kRemoteCustomerExport)) {
            context.status.SetStatusText("Kundenstamm erfolgreich übertragen");
        } else {
            context.status.SetStatusText("Fehler beim übertragen des Kundenstammes");
            context.status.AddError("Fehler: Kundenstamm", context.ftp.lastFailure());
        }
        StopIfCancelled(context.cancel, 1, 2, "Dateien");
        context.status.SetStatusText("Übertrage der Bestellungen");
        if (context.ftp.download(orderFile, settings.shopRoot + kRemoteOrderExport)) {
            context.status.SetStatusText("Bestellungen erfolgreich übertragen");
        } else {
            context.status.SetStatusText("Fehler beim übertragen der Bestellungen");
            context.status.AddError("Fehler: Bestellungen", context.ftp.lastFailure());
        }
    });
    return true;
}

}  // namespace warenkai
