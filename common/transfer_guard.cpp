#include "common/transfer_guard.h"

#include <exception>

#include "common/cancel_request.h"
#include "common/status_area.h"
#include "common/user_dialogs.h"

namespace warenkai {

TransferOutcome RunTransfer(StatusArea& status, UserDialogs& dialogs, const std::function<void()>& transfer) {
    std::string text;
    status.SetProgressValue(0);
    try {
        transfer();
        return TransferOutcome::Completed;
    } catch (const TransferCancelled& cancelled) {
        status.SetStatusText(kTransferStoppedStatus);
        status.AddError(cancelled.what());
        return TransferOutcome::Cancelled;
    } catch (const std::exception& error) {
        text = error.what();
    }
    if (text.empty()) {
        text = "Unbekannter Fehler";
    }
    status.SetStatusText(kTransferStoppedStatus);
    status.AddError(text);
    dialogs.ShowMessage(text);
    return TransferOutcome::Stopped;
}

}  // namespace warenkai
