#pragma once

#include <functional>
#include <string>

namespace warenkai {

class StatusArea;
class UserDialogs;

enum class TransferOutcome {
    Completed,  // the transfer ran to its end (its error list may still hold lines)
    Stopped,    // an error of the automation server (or of a file) ended it early
    Cancelled,  // the user asked it to stop; it ended at a safe point
};

// The status text shown when a transfer was ended early, by an error or by the user.
inline constexpr const char* kTransferStoppedStatus = "Die Übertragung wurde abgebrochen";

// Runs one transfer, with the progress bar back at 0 first. An error thrown out of it (an error of
// the automation server, or a file that cannot be written) ends the transfer the same way for every
// caller: a message box with the error's text, that text as one line of the error list, and the
// status text kTransferStoppedStatus. A cancel (TransferCancelled) ends it with that status text and
// its line, without a message box: the user asked for it. The program and its window go on running.
TransferOutcome RunTransfer(StatusArea& status, UserDialogs& dialogs, const std::function<void()>& transfer);

}  // namespace warenkai
