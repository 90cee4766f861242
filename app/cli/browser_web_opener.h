#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

#include "common/web_opener.h"

namespace warenkai {

class Console;
class ConsoleDialogs;
class StatusArea;

// Opens a shop page in the desktop's browser (xdg-open, started directly, without a shell) and
// makes the message box that follows wait for Enter, so the user confirms on the terminal when the
// shop has done its work. A browser that cannot be started adds a line to the error list.
class BrowserWebOpener final : public WebOpener {
public:
    BrowserWebOpener(Console& console, StatusArea& status, ConsoleDialogs& dialogs,
                     std::string program = "xdg-open");
    ~BrowserWebOpener() override;
    BrowserWebOpener(const BrowserWebOpener&) = delete;
    BrowserWebOpener& operator=(const BrowserWebOpener&) = delete;

    void OpenWebAddress(const std::string& address) override;

private:
    // Collects the programs started before that have ended; the others are left to run.
    void ReapEnded();

    Console& m_console;
    StatusArea& m_status;
    ConsoleDialogs& m_dialogs;
    std::string m_program;
    std::vector<pid_t> m_started;
};

}  // namespace warenkai
