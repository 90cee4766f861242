#include "common/transfer_guard.h"

#include <exception>

#include "common/cancel_request.h"
#include "common/transfer_context.h"
#include "common/user_dialogs.h"

namespace warenkai {
namespace {

std::string Joined(const std::string& head, const std::string& tail) {
    return tail.empty() ? head : head + "; " + tail;
}

std::string ResultText(const TransferResult& result) {
    try {
        return result ? result() : std::string();
    } catch (...) {
        return {};  // the numbers are a report; they never turn an ending into another
    }
}

}  // namespace

TransferOutcome RunTransfer(StatusArea& status, UserDialogs& dialogs, const std::function<void()>& transfer,
                            const TransferResult& result) {
    std::string text;
    status.SetProgressValue(0);
    if (result) {
        status.SetResult({});
    }
    try {
        transfer();
        if (result) {
            status.SetResult(ResultText(result));
        }
        return TransferOutcome::Completed;
    } catch (const TransferCancelled& cancelled) {
        // The numbers are taken before the cancel's own line joins the error list.
        const std::string done = ResultText(result);
        status.SetStatusText(kTransferStoppedStatus);
        status.AddError(cancelled.what());
        status.SetResult(Joined(cancelled.what(), done));
        return TransferOutcome::Cancelled;
    } catch (const std::exception& error) {
        text = error.what();
    }
    if (text.empty()) {
        text = "Unbekannter Fehler";
    }
    const std::string done = ResultText(result);
    status.SetStatusText(kTransferStoppedStatus);
    status.AddError(text);
    status.SetResult(Joined(kStoppedResultPrefix, done));
    dialogs.ShowMessage(text);
    return TransferOutcome::Stopped;
}

TransferContext WithStatusArea(const TransferContext& context, StatusArea& status) {
    return TransferContext{
        status, context.dialogs, context.web, context.ftp, context.selectline, context.programFolder, context.cancel};
}

std::string CountOf(std::int64_t count, const char* singular, const char* plural) {
    return GermanCount(count) + " " + (count == 1 ? singular : plural);
}

}  // namespace warenkai
