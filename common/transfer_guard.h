#pragma once

#include <functional>
#include <string>

namespace warenkai {

class StatusArea;
class UserDialogs;

enum class TransferOutcome {
    Completed,  // the transfer ran to its end (its error list may still hold lines)
    Stopped,    // an error of the automation server (or of a file) ended it early
};

// The status text shown when a transfer was ended by an error.
inline constexpr const char* kTransferStoppedStatus = "Die Übertragung wurde abgebrochen";

// Runs one transfer. An error thrown out of it (an error of the automation server, or a file that
// cannot be written) ends the transfer the same way for every caller: a message box with the error's
// text, that text as one line of the error list, and the status text kTransferStoppedStatus. The
// program and its window go on running.
TransferOutcome RunTransfer(StatusArea& status, UserDialogs& dialogs, const std::function<void()>& transfer);

}  // namespace warenkai
