#pragma once

#include <string>

#include "common/web_opener.h"
#include "platform/desktop.h"

namespace warenkai {

class Console;
class ConsoleDialogs;

// Opens a shop page in the desktop's browser and makes the message box that follows wait for Enter,
// so the user confirms on the terminal when the shop has done its work. A browser that cannot be
// started leaves the page not opened, with the reason. `opener` is the program that opens pages
// where the desktop has one (started directly, without a shell).
class BrowserWebOpener final : public WebOpener {
public:
    BrowserWebOpener(Console& console, ConsoleDialogs& dialogs, std::string opener = kDesktopOpener);

    PageOpening OpenWebAddress(const std::string& address) override;

private:
    Console& m_console;
    ConsoleDialogs& m_dialogs;
    std::string m_opener;
};

}  // namespace warenkai
