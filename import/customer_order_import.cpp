#include "import/customer_order_import.h"

#include "common/status_area.h"
#include "common/transfer_context.h"
#include "common/user_dialogs.h"
#include "import/customer_import.h"
#include "import/order_import.h"
#include "import/order_record.h"
#include "import/shop_export_download.h"
#include "selectline/selectline_session.h"
#include "settings/settings.h"

namespace warenkai {

TransferOutcome RunCustomerOrderImport(const Settings& settings, TransferContext& context) {
    return RunTransfer(context.status, context.dialogs, [&] {
        context.status.ClearErrors();
        // A record of the entered orders that cannot be trusted or written ends the run before
        // anything is downloaded (std::runtime_error).
        OrderRecord record(context.programFolder / kOrderRecordFileName);
        if (!DownloadShopExports(settings, context)) {
            return;  // the files on the server are not this run's: nothing is downloaded or entered
        }
        // An error while the session opens (no server, a table that will not open) ends the run here.
        SelectlineSession session = OpenSelectlineSession({"KU", "AD", "AR"}, context);
        ImportCustomers(context.programFolder / kCustomerFileName, session.Table("KU"), session.Table("AD"),
                        context.status, context.dialogs, context.cancel);
        ImportOrders(context.programFolder / kOrderFileName,
                     {*session.application, session.Table("KU"), session.Table("AR")}, record, context.status,
                     context.dialogs, context.cancel);
        context.dialogs.ShowMessage("Fertig");
    });
}

}  // namespace warenkai
