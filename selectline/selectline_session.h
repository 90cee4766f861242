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

struct SessionTiming {
    std::chrono::milliseconds pollInterval{100};
    std::chrono::milliseconds readyTimeout{120'000};
};

// Warns that Selectline must be closed, starts the automation server, waits until it is ready, logs
// in and opens the tables in the given order. Throws SelectlineError when the server cannot be
// created, does not become ready in time, or a table cannot be opened.
SelectlineSession OpenSelectlineSession(const std::vector<std::string>& tableCodes, TransferContext& context,
                                        const SessionTiming& timing = {});

}  // namespace warenkai
