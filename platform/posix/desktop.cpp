#include "platform/desktop.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <mutex>
#include <vector>

extern char** environ;

namespace warenkai {
namespace {

// Openers started before; each is collected once it has ended, the others are left to run.
void CollectEnded(std::vector<pid_t>& started) {
    std::erase_if(started, [](pid_t child) {
        int status = 0;
        pid_t done = -1;
        do {
            done = ::waitpid(child, &status, WNOHANG);
        } while (done < 0 && errno == EINTR);
        return done != 0;
    });
}

}  // namespace

std::string OpenInBrowser(const std::string& address, const std::string& opener) {
    static std::mutex mutex;
    static std::vector<pid_t> started;
    std::lock_guard lock(mutex);
    CollectEnded(started);
    std::vector<std::string> words = {opener, address};
    std::vector<char*> argv;
    for (auto& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    pid_t child = -1;
    const int error = ::posix_spawnp(&child, opener.c_str(), nullptr, nullptr, argv.data(), environ);
    if (error != 0) {
        return opener + ": " + std::strerror(error);
    }
    started.push_back(child);
    return {};
}

void PrepareConsole() {
    // A reader of the output that goes away (`warenkai orders | head`) must not end a transfer
    // half-way through its Selectline records: the output is lost, the transfer runs to its end.
    ::signal(SIGPIPE, SIG_IGN);
}

void LeaveConsoleForWindow() {}

bool ErrorOutputIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.emplace_back(argv[i] != nullptr ? argv[i] : "");
    }
    return arguments;
}

}  // namespace warenkai
