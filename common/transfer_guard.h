#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "common/status_area.h"

namespace warenkai {

class UserDialogs;
struct TransferContext;

enum class TransferOutcome {
    Completed,  // the transfer ran to its end (its error list may still hold lines)
    Stopped,    // an error of the automation server (or of a file) ended it early
    Cancelled,  // the user asked it to stop; it ended at a safe point
};

// The status text shown when a transfer was ended early, by an error or by the user.
inline constexpr const char* kTransferStoppedStatus = "Die Übertragung wurde abgebrochen";
// How the result line of a transfer ended by an error begins.
inline constexpr const char* kStoppedResultPrefix = "Wegen eines Fehlers beendet";

// What a transfer got done, in numbers, for its result line; called once the transfer has ended, also
// when it ended early, and then tells what was done so far ("" when nothing was).
using TransferResult = std::function<std::string()>;

// Runs one transfer, with the progress bar back at 0 first. An error thrown out of it (an error of
// the automation server, or a file that cannot be written) ends the transfer the same way for every
// caller: a message box with the error's text, that text as one line of the error list, and the
// status text kTransferStoppedStatus. A cancel (TransferCancelled) ends it with that status text and
// its line, without a message box: the user asked for it. The program and its window go on running.
// The status area gets the result line: `result`'s text when the transfer ran to its end (nothing
// when `result` is empty, as for a guard around a whole transfer), after a cancel behind the cancel's
// own text ("Abgebrochen nach 3 von 7 Bestellungen; 4 Kunden neu, …"), after an error behind
// kStoppedResultPrefix.
TransferOutcome RunTransfer(StatusArea& status, UserDialogs& dialogs, const std::function<void()>& transfer,
                            const TransferResult& result = {});

// A status area that passes everything on and counts the error lines since the last ClearErrors,
// for a transfer's "0 Fehler".
class CountingStatusArea final : public ForwardingStatusArea {
public:
    using ForwardingStatusArea::ForwardingStatusArea;

    std::size_t ErrorLines() const { return m_errorLines; }

    using StatusArea::AddError;
    void ClearErrors() override {
        m_errorLines = 0;
        ForwardingStatusArea::ClearErrors();
    }
    void AddError(const std::string& line, const std::string& cause) override {
        ++m_errorLines;
        ForwardingStatusArea::AddError(line, cause);
    }

private:
    std::size_t m_errorLines = 0;
};

// `context` with `status` in place of its own status area.
TransferContext WithStatusArea(const TransferContext& context, StatusArea& status);

// "1 Datei" / "2 Dateien": a count with the singular or plural of its noun.
std::string CountOf(std::int64_t count, const char* singular, const char* plural);

}  // namespace warenkai
