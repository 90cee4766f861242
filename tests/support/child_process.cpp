#include "tests/support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <thread>

extern char** environ;

namespace warenkai::test {
namespace {

void CloseIfOpen(int& descriptor) {
    if (descriptor >= 0) {
        ::close(descriptor);
        descriptor = -1;
    }
}

std::vector<char*> Pointers(std::vector<std::string>& words) {
    std::vector<char*> pointers;
    for (auto& word : words) {
        pointers.push_back(word.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

ChildProcess::~ChildProcess() {
    Stop(std::chrono::seconds(3));
}

std::string ChildProcess::Start(std::vector<std::string> arguments, const std::filesystem::path& errorFile) {
    if (arguments.empty() || Running()) {
        return "nothing to start";
    }
    const std::vector<char*> argv = Pointers(arguments);

    int input[2];
    int output[2];
    if (::pipe2(input, O_CLOEXEC) != 0) {
        return "pipe failed";
    }
    if (::pipe2(output, O_CLOEXEC) != 0) {
        ::close(input[0]);
        ::close(input[1]);
        return "pipe failed";
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], 0);
    posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    const std::string errorPath = errorFile.string();
    posix_spawn_file_actions_addopen(&actions, 2, errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int spawned = ::posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(input[0]);
    ::close(output[1]);
    m_input = input[1];
    m_output = output[0];
    if (spawned != 0) {
        m_pid = -1;
        CloseIfOpen(m_input);
        CloseIfOpen(m_output);
        return "cannot start " + arguments.front() + ": " + std::strerror(spawned);
    }
    return {};
}

ChildLine ChildProcess::ReadFirstLine(std::chrono::milliseconds timeout) {
    ChildLine line;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (line.text.find('\n') == std::string::npos) {
        if (m_output < 0) {
            line.ended = true;
            break;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            line.timedOut = true;
            break;
        }
        pollfd descriptor{m_output, POLLIN, 0};
        if (::poll(&descriptor, 1, static_cast<int>(left.count())) <= 0) {
            continue;  // interrupted, or the time is up (seen above)
        }
        char buffer[256];
        const ssize_t count = ::read(m_output, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            line.ended = true;
            break;
        }
        line.text.append(buffer, static_cast<std::size_t>(count));
    }
    CloseIfOpen(m_output);
    return line;
}

void ChildProcess::Stop(std::chrono::milliseconds timeout) {
    CloseIfOpen(m_input);
    CloseIfOpen(m_output);
    if (m_pid <= 0) {
        return;
    }
    ::kill(m_pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        int status = 0;
        const pid_t done = ::waitpid(m_pid, &status, WNOHANG);
        if (done == m_pid || (done < 0 && errno != EINTR)) {
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(m_pid, SIGKILL);
            while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
            }
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    m_pid = -1;
}

}  // namespace warenkai::test
