#include "tests/support/ftp_test_server.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>

extern char** environ;

#ifndef WARENKAI_FTP_SERVER_SCRIPT
#error "WARENKAI_FTP_SERVER_SCRIPT must name tests/support/ftp_server.py"
#endif

namespace warenkai::test {
namespace {

// Debian's interpreter, which has python3-pyftpdlib; not whatever "python3" is first on PATH.
constexpr const char* kPython = "/usr/bin/python3";
constexpr auto kStartTimeout = std::chrono::seconds(15);
constexpr auto kStopTimeout = std::chrono::seconds(3);

std::filesystem::path MakeTemporaryFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "warenkai-ftp-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        return {};
    }
    return pattern;
}

std::string ReadText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Relative(std::string_view serverPath) {
    while (!serverPath.empty() && serverPath.front() == '/') {
        serverPath.remove_prefix(1);
    }
    return std::string(serverPath);
}

}  // namespace

FtpTestServer::FtpTestServer(FtpServerOptions options) {
    if (options.users.empty()) {
        options.users = {{kUser, kPassword, "elradfmwMT"}, {kReadOnlyUser, kReadOnlyPassword, "elr"}};
    }
    Start(options);
    if (!Running()) {
        Stop();
    }
}

FtpTestServer::~FtpTestServer() {
    Stop();
    if (!m_folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
}

void FtpTestServer::Start(const FtpServerOptions& options) {
    m_folder = MakeTemporaryFolder();
    if (m_folder.empty()) {
        m_startError = "cannot create a temporary folder";
        return;
    }
    m_root = m_folder / "root";
    std::error_code error;
    std::filesystem::create_directory(m_root, error);

    std::vector<std::string> arguments = {kPython, WARENKAI_FTP_SERVER_SCRIPT, "--root", m_root.string(),
                                          "--log", (m_folder / "events.log").string()};
    for (const auto& user : options.users) {
        arguments.insert(arguments.end(), {"--user", user.name, user.password, user.perm});
    }
    if (options.refuseLogin) {
        arguments.push_back("--refuse-login");
    }
    if (options.dropAfterBytes >= 0) {
        arguments.insert(arguments.end(), {"--drop-after", std::to_string(options.dropAfterBytes)});
    }
    if (options.stallAfterBytes >= 0) {
        arguments.insert(arguments.end(), {"--stall-after", std::to_string(options.stallAfterBytes)});
    }
    for (const auto& command : options.muteCommands) {
        arguments.insert(arguments.end(), {"--mute", command});
    }
    for (const auto& [command, seconds] : options.delayedCommands) {
        arguments.insert(arguments.end(), {"--delay", command, std::to_string(seconds)});
    }
    if (options.bytesPerSecond > 0) {
        arguments.insert(arguments.end(), {"--rate", std::to_string(options.bytesPerSecond)});
    }
    std::vector<char*> argv;
    for (auto& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view text(*entry);
        if (!text.starts_with("PYTHONUTF8=") && !text.starts_with("PYTHONDONTWRITEBYTECODE=")) {
            environment.emplace_back(text);
        }
    }
    environment.emplace_back("PYTHONUTF8=1");  // file names travel as UTF-8 whatever the locale
    environment.emplace_back("PYTHONDONTWRITEBYTECODE=1");
    std::vector<char*> envp;
    for (auto& entry : environment) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);

    int input[2];
    int output[2];
    if (::pipe2(input, O_CLOEXEC) != 0) {
        m_startError = "pipe failed";
        return;
    }
    if (::pipe2(output, O_CLOEXEC) != 0) {
        ::close(input[0]);
        ::close(input[1]);
        m_startError = "pipe failed";
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], 0);
    posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    const std::string errorFile = (m_folder / "stderr.txt").string();
    posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int spawned = ::posix_spawn(&m_pid, kPython, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(input[0]);
    ::close(output[1]);
    m_stdin = input[1];
    if (spawned != 0) {
        m_pid = -1;
        ::close(output[0]);
        m_startError = std::string("cannot start ") + kPython + ": " + std::strerror(spawned);
        return;
    }

    // Wait for "PORT <n>".
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (line.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                                std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            m_startError = "the FTP server did not report its port in time";
            break;
        }
        pollfd descriptor{output[0], POLLIN, 0};
        const int ready = ::poll(&descriptor, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            continue;
        }
        char buffer[256];
        const ssize_t count = ::read(output[0], buffer, sizeof buffer);
        if (count <= 0) {
            m_startError = "the FTP server ended at start";
            break;
        }
        line.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(output[0]);
    if (line.starts_with("PORT ")) {
        m_port = std::atoi(line.c_str() + 5);
    }
    if (m_port == 0) {
        if (m_startError.empty()) {
            m_startError = "unexpected answer of the FTP server: " + line;
        }
        m_startError += "\n" + ReadText(m_folder / "stderr.txt");
    }
}

void FtpTestServer::Stop() {
    if (m_stdin >= 0) {
        ::close(m_stdin);
        m_stdin = -1;
    }
    if (m_pid <= 0) {
        return;
    }
    ::kill(m_pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + kStopTimeout;
    while (true) {
        int status = 0;
        const pid_t done = ::waitpid(m_pid, &status, WNOHANG);
        if (done == m_pid || (done < 0 && errno != EINTR)) {
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    m_pid = -1;
}

std::string FtpTestServer::Address() const {
    return "127.0.0.1:" + std::to_string(m_port);
}

std::filesystem::path FtpTestServer::PathOf(std::string_view serverPath) const {
    return m_root / Relative(serverPath);
}

std::optional<std::string> FtpTestServer::ReadFile(std::string_view serverPath) const {
    const auto file = PathOf(serverPath);
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        return std::nullopt;
    }
    return ReadText(file);
}

bool FtpTestServer::Exists(std::string_view serverPath) const {
    std::error_code error;
    return std::filesystem::exists(PathOf(serverPath), error);
}

void FtpTestServer::WriteFile(std::string_view serverPath, std::string_view bytes) const {
    const auto file = PathOf(serverPath);
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void FtpTestServer::MakeFolder(std::string_view serverPath) const {
    std::error_code error;
    std::filesystem::create_directories(PathOf(serverPath), error);
}

std::vector<std::string> FtpTestServer::Log() const {
    std::vector<std::string> lines;
    std::istringstream text(ReadText(m_folder / "events.log"));
    for (std::string line; std::getline(text, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> FtpTestServer::LogStarting(std::string_view prefix) const {
    std::vector<std::string> lines;
    for (auto& line : Log()) {
        if (line.starts_with(prefix)) {
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

std::string FtpTestServer::Diagnostics() const {
    return ReadText(m_folder / "stderr.txt");
}

}  // namespace warenkai::test
