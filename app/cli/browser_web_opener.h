#pragma once

#include <string>

#include "common/web_opener.h"
#include "platform/desktop.h"

namespace warenkai {

class Console;
class ConsoleDialogs;
class StatusArea;

// Opens a shop page in the desktop's browser and makes the message box that follows wait for Enter,
// so the user confirms on the terminal when the shop has done its work. A browser that cannot be
// started adds a line to the error list and gives false. `opener` is the program that opens pages
// where the desktop has one (started directly, without a shell).
class BrowserWebOpener final : public WebOpener {
public:
    BrowserWebOpener(Console& console, StatusArea& status, ConsoleDialogs& dialogs,
                     std::string opener = kDesktopOpener);

    bool OpenWebAddress(const std::string& address) override;

private:
    Console& m_console;
    StatusArea& m_status;
    ConsoleDialogs& m_dialogs;
    std::string m_opener;
};

}  // namespace warenkai
