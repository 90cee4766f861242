#include "tests/support/child_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <thread>

namespace warenkai::test {

using Clock = std::chrono::steady_clock;

std::string ChildProcess::Start(std::vector<std::string> arguments, const Options& options) {
    if (arguments.empty() || Running()) {
        return "nothing to start";
    }
    std::vector<char*> argv;
    for (auto& word : arguments) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const std::string out = (m_files / "out").string(), err = (m_files / "err").string();
    const std::string folder = options.folder.string();
    int input[2] = {-1, -1}, output[2] = {-1, -1};
    if ((options.inputOpen && ::pipe2(input, O_CLOEXEC) != 0) ||
        (options.readerGone && ::pipe2(output, O_CLOEXEC) != 0)) {
        return "pipe failed";
    }
    if (output[0] >= 0) {
        ::close(output[0]);  // the reader goes before the child writes
    }
    m_pid = ::fork();
    if (m_pid == 0) {  // only async-signal-safe calls from here on
        ::signal(SIGINT, SIG_DFL);
        ::signal(SIGPIPE, SIG_DFL);
        ::dup2(input[0] >= 0 ? input[0] : ::open("/dev/null", O_RDONLY), 0);
        ::dup2(output[1] >= 0 ? output[1] : ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
        ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        if (folder.empty() || ::chdir(folder.c_str()) == 0) {
            ::execv(argv[0], argv.data());
        }
        ::_exit(127);
    }
    for (const int unused : {input[0], output[1]}) {
        if (unused >= 0) {
            ::close(unused);
        }
    }
    m_input = input[1];
    return m_pid > 0 ? "" : "cannot start " + arguments.front();
}

bool ChildProcess::WaitForOutput(const std::string& text, std::chrono::milliseconds timeout) {
    for (const auto deadline = Clock::now() + timeout; Out().find(text) == std::string::npos;) {
        if (Ended() || Clock::now() > deadline) {
            return Out().find(text) != std::string::npos;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

void ChildProcess::Signal(int signal) const {
    if (Running()) {
        ::kill(m_pid, signal);
    }
}

int ChildProcess::Wait(std::chrono::milliseconds timeout) {
    for (const auto deadline = Clock::now() + timeout; !Ended();) {
        if (Clock::now() > deadline) {
            Signal(SIGKILL);
            while (!Ended()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            return m_exit = -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return m_exit;
}

void ChildProcess::Stop(std::chrono::milliseconds timeout) {
    if (m_input >= 0) {
        ::close(m_input);
        m_input = -1;
    }
    Signal(SIGTERM);
    Wait(timeout);
}

bool ChildProcess::Ended() {
    if (!Running()) {
        return true;
    }
    int status = 0;
    const pid_t done = ::waitpid(m_pid, &status, WNOHANG);
    if (done == 0 || (done < 0 && errno == EINTR)) {
        return false;
    }
    if (done == m_pid) {
        m_exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    m_pid = -1;
    return true;
}

}  // namespace warenkai::test
