#include "tests/cli/program_run.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <optional>

extern char** environ;

namespace warenkai::test {
namespace {

void CloseIfOpen(int& descriptor) {
    if (descriptor >= 0) {
        ::close(descriptor);
        descriptor = -1;
    }
}

}  // namespace

ProgramResult RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                         std::chrono::milliseconds timeout, const std::filesystem::path& workingFolder,
                         const std::string& interruptOn) {
    ProgramResult result;
    std::vector<std::string> words = {program.string()};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    int in[2] = {-1, -1};
    int out[2] = {-1, -1};
    int err[2] = {-1, -1};
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
        result.startError = std::string("pipe: ") + std::strerror(errno);
        for (int* pipe : {in, out, err}) {
            CloseIfOpen(pipe[0]);
            CloseIfOpen(pipe[1]);
        }
        return result;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    if (!workingFolder.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
    }
    pid_t child = -1;
    const int spawned = ::posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    CloseIfOpen(in[0]);
    CloseIfOpen(out[1]);
    CloseIfOpen(err[1]);
    if (spawned != 0) {
        result.startError = "cannot start " + program.string() + ": " + std::strerror(spawned);
        CloseIfOpen(in[1]);
        CloseIfOpen(out[0]);
        CloseIfOpen(err[0]);
        return result;
    }

    // Its input is closed at once; both outputs are read until they are closed.
    CloseIfOpen(in[1]);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::optional<std::chrono::steady_clock::time_point> interrupted;
    while (out[0] >= 0 || err[0] >= 0) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.timedOut = true;
            ::kill(child, SIGKILL);
            break;
        }
        pollfd descriptors[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
        const int ready = ::poll(descriptors, 2, static_cast<int>(left.count()));
        if (ready < 0 && errno != EINTR) {
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (descriptors[i].fd >= 0 && (descriptors[i].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
                char buffer[4096];
                const ssize_t count = ::read(descriptors[i].fd, buffer, sizeof buffer);
                if (count > 0) {
                    (i == 0 ? result.out : result.err).append(buffer, static_cast<std::size_t>(count));
                    if (!interruptOn.empty() && !interrupted && result.out.find(interruptOn) != std::string::npos) {
                        interrupted = std::chrono::steady_clock::now();
                        ::kill(child, SIGINT);
                    }
                } else if (count == 0 || errno != EINTR) {
                    CloseIfOpen(i == 0 ? out[0] : err[0]);
                }
            }
        }
    }
    CloseIfOpen(out[0]);
    CloseIfOpen(err[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!result.timedOut && WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    }
    if (interrupted) {
        result.interruptToEnd =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - *interrupted);
    }
    return result;
}

}  // namespace warenkai::test
