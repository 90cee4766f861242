#include "app/cli/browser_web_opener.h"

#include "app/cli/console.h"
#include "app/cli/console_dialogs.h"
#include "shop/connection_check.h"

namespace warenkai {

BrowserWebOpener::BrowserWebOpener(Console& console, ConsoleDialogs& dialogs, std::string opener)
    : m_console(console), m_dialogs(dialogs), m_opener(std::move(opener)) {}

PageOpening BrowserWebOpener::OpenWebAddress(const std::string& address) {
    // The user confirms on the terminal whether the page opened or not; the address is shown so it
    // can be opened by hand.
    m_dialogs.WaitForEnterAtNextMessage();
    // A password in the shop link is never shown.
    const std::string shown = HidePassword(address);
    m_console.PrintLine("Webseite: " + shown);
    if (address.empty() || address.front() == '-') {
        // Would be taken as an option of the opener.
        return {false, "keine gültige Adresse"};
    }
    const std::string failure = OpenInBrowser(address, m_opener);
    return {failure.empty(), failure};
}

}  // namespace warenkai
