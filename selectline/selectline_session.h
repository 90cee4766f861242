#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/transfer_context.h"
#include "selectline/selectline_application.h"

namespace warenkai {

// The automation object and the tables a transfer opened, by table code. Owned by the transfer that
// opened it; nothing is closed explicitly.
struct SelectlineSession {
    std::unique_ptr<SelectlineApplication> application;
    std::vector<std::pair<std::string, std::unique_ptr<SelectlineTable>>> tables;

    // The table opened under `code`; throws SelectlineError when the session has none.
    SelectlineTable& Table(const std::string& code);
};

// The message box shown before the automation server is started.
inline constexpr const char* kCloseSelectlineMessage =
    "Um Daten in Selectline zu importieren muß Selectline beendet werden. Sollten Sie Selectline geöffnet haben "
    "schließen Sie Selectline bitte.";
// Status texts while the server starts and while the session logs in and opens its tables.
inline constexpr const char* kSelectlineStartingStatus = "Selectline starten";
inline constexpr const char* kSelectlineLoginStatus = "Selectline anmelden";

// How often OpenSelectlineSession asks whether the server is ready, and how long it waits for it.
struct SessionTiming {
    std::chrono::milliseconds pollInterval{100};
    std::chrono::milliseconds readyTimeout{120'000};
};

// Warns that Selectline must be closed, starts the automation server, waits until it is ready, logs
// in and opens the tables in the given order. Throws SelectlineError when the server cannot be
// created, does not become ready in time, or a table cannot be opened (other errors out of the
// server's calls are turned into SelectlineError too). RunTransfer shows such an error and ends
// the transfer.
SelectlineSession OpenSelectlineSession(const std::vector<std::string>& tableCodes, TransferContext& context,
                                        const SessionTiming& timing = {});

}  // namespace warenkai
