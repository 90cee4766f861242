#include "app/cli/browser_web_opener.h"

#include <cerrno>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>

#include "app/cli/console.h"
#include "app/cli/console_dialogs.h"
#include "common/status_area.h"

extern char** environ;

namespace warenkai {

BrowserWebOpener::BrowserWebOpener(Console& console, StatusArea& status, ConsoleDialogs& dialogs, std::string program)
    : m_console(console), m_status(status), m_dialogs(dialogs), m_program(std::move(program)) {}

BrowserWebOpener::~BrowserWebOpener() {
    ReapEnded();
}

void BrowserWebOpener::OpenWebAddress(const std::string& address) {
    ReapEnded();
    // The user confirms on the terminal whether the page opened or not; the address is shown so it
    // can be opened by hand.
    m_dialogs.WaitForEnterAtNextMessage();
    m_console.PrintLine("Webseite: " + address);
    if (address.empty() || address.front() == '-') {
        // Would be taken as an option of the opener.
        m_status.AddError("Fehler: Seite " + address + " nicht geöffnet: keine gültige Adresse");
        return;
    }
    std::vector<std::string> arguments = {m_program, address};
    std::vector<char*> argv;
    for (auto& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    pid_t child = -1;
    const int error = ::posix_spawnp(&child, m_program.c_str(), nullptr, nullptr, argv.data(), environ);
    if (error != 0) {
        m_status.AddError("Fehler: Seite " + address + " nicht geöffnet: " + m_program + ": " + std::strerror(error));
        return;
    }
    m_started.push_back(child);
}

void BrowserWebOpener::ReapEnded() {
    std::erase_if(m_started, [](pid_t child) {
        int status = 0;
        pid_t done = -1;
        do {
            done = ::waitpid(child, &status, WNOHANG);
        } while (done < 0 && errno == EINTR);
        return done != 0;
    });
}

}  // namespace warenkai
