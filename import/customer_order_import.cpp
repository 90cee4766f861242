#include "import/customer_order_import.h"

#include <optional>

#include "common/cancel_request.h"
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

namespace {

// "4 Kunden neu, 2 geändert, 1 Zeile fehlerhaft; 4 Bestellungen eingetragen, 2 bereits eingetragen,
// 1 fehlerhaft", of the stages that ran to their end.
std::string ImportResult(const std::optional<CustomerImportResult>& customers,
                         const std::optional<OrderImportResult>& orders) {
    std::string text;
    if (customers && customers->fileOpened) {
        text = CustomerImportSummary(*customers);
    }
    if (orders && orders->fileOpened) {
        text += text.empty() ? "" : "; ";
        text += CountOf(static_cast<std::int64_t>(orders->entered), "Bestellung", "Bestellungen") + " eingetragen, " +
                GermanCount(static_cast<std::int64_t>(orders->alreadyEntered)) + " bereits eingetragen, " +
                GermanCount(static_cast<std::int64_t>(orders->notEntered)) + " fehlerhaft";
    }
    return text;
}

}  // namespace

TransferOutcome RunCustomerOrderImport(const Settings& settings, TransferContext& context) {
    std::optional<CustomerImportResult> customers;
    std::optional<OrderImportResult> orders;
    return RunTransfer(
        context.status, context.dialogs,
        [&] {
            context.status.ClearErrors();
            // A record of the entered orders that cannot be trusted or written ends the run before
            // anything is downloaded (std::runtime_error).
            OrderRecord record(context.programFolder / kOrderRecordFileName);
            if (!DownloadShopExports(settings, context)) {
                return;  // the files on the server are not this run's: nothing is downloaded or entered
            }
            // An error while the session opens (no server, a table that will not open) ends the run here.
            SelectlineSession session = OpenSelectlineSession({"KU", "AD", "AR"}, context);
            customers = ImportCustomers(context.programFolder / kCustomerFileName, session.Table("KU"),
                                        session.Table("AD"), context.status, context.dialogs, context.cancel);
            orders = ImportOrders(context.programFolder / kOrderFileName,
                                  {*session.application, session.Table("KU"), session.Table("AR")}, record,
                                  context.status, context.dialogs, context.cancel);
            context.dialogs.ShowMessage("Fertig");
        },
        [&] {
            // After a cancel its own text says that nothing (more) was entered.
            const std::string text = ImportResult(customers, orders);
            return text.empty() && !context.cancel.Requested() ? std::string("Nichts eingetragen") : text;
        });
}

}  // namespace warenkai
