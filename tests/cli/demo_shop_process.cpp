#include "tests/cli/demo_shop_process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#ifndef WARENKAI_DEMO_SHOP_SCRIPT
#error "WARENKAI_DEMO_SHOP_SCRIPT must name tools/demo_shop.py"
#endif

extern char** environ;

namespace warenkai::test {
namespace {

// Debian's interpreter, which has python3-pyftpdlib.
constexpr const char* kPython = "/usr/bin/python3";
constexpr auto kStartTimeout = std::chrono::seconds(20);
constexpr auto kStopTimeout = std::chrono::seconds(5);

std::string ReadText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

DemoShopProcess::DemoShopProcess(DemoShopOptions options) {
    std::string pattern = (std::filesystem::temp_directory_path() / "warenkai-shop-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        m_startError = "cannot create a temporary folder";
        return;
    }
    m_folder = pattern;

    std::vector<std::string> words = {kPython,
                                      WARENKAI_DEMO_SHOP_SCRIPT,
                                      "--ftp-port",
                                      "0",
                                      "--http-port",
                                      "0",
                                      "--print-ports",
                                      "--quiet",
                                      "--stop-on-eof",
                                      "--user",
                                      kUser,
                                      "--password",
                                      kPassword,
                                      "--root",
                                      (m_folder / "root").string(),
                                      "--settings",
                                      (m_folder / "Einstellungen.ini").string(),
                                      "--log",
                                      (m_folder / "requests.log").string()};
    for (const auto& page : options.failingPages) {
        words.insert(words.end(), {"--fail-page", page});
    }
    std::vector<char*> argv;
    for (auto& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

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
    const int spawned = ::posix_spawn(&m_pid, kPython, &actions, nullptr, argv.data(), environ);
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

    // Wait for "ftp=<port> http=<port>".
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (line.find('\n') == std::string::npos) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            m_startError = "the demo shop did not report its ports in time";
            break;
        }
        pollfd descriptor{output[0], POLLIN, 0};
        if (::poll(&descriptor, 1, static_cast<int>(left.count())) <= 0) {
            continue;
        }
        char buffer[256];
        const ssize_t count = ::read(output[0], buffer, sizeof buffer);
        if (count <= 0) {
            m_startError = "the demo shop ended at start";
            break;
        }
        line.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(output[0]);
    if (std::sscanf(line.c_str(), "ftp=%d http=%d", &m_ftpPort, &m_httpPort) != 2) {
        m_ftpPort = 0;
        m_httpPort = 0;
        if (m_startError.empty()) {
            m_startError = "unexpected answer of the demo shop: " + line;
        }
    }
    if (!Running()) {
        m_startError += "\n" + Diagnostics();
        Stop();
    }
}

DemoShopProcess::~DemoShopProcess() {
    Stop();
    if (!m_folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
}

void DemoShopProcess::Stop() {
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
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    m_pid = -1;
}

std::string DemoShopProcess::FtpServer() const {
    return "127.0.0.1:" + std::to_string(m_ftpPort);
}

std::string DemoShopProcess::ShopLink() const {
    return "http://127.0.0.1:" + std::to_string(m_httpPort) + "/shop";
}

std::filesystem::path DemoShopProcess::ImportFolder() const {
    return m_folder / "root" / "shop" / "login" / "admin" / "sonstiges" / "import" / "import";
}

std::filesystem::path DemoShopProcess::PictureFolder() const {
    return m_folder / "root" / "shop" / "config" / "bilder_artikel";
}

std::filesystem::path DemoShopProcess::ExportFolder() const {
    return m_folder / "root" / "shop" / "login" / "admin" / "sonstiges" / "export" / "export";
}

std::vector<std::string> DemoShopProcess::Requests() const {
    std::vector<std::string> lines;
    std::istringstream text(ReadText(m_folder / "requests.log"));
    for (std::string line; std::getline(text, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::string DemoShopProcess::Diagnostics() const {
    return ReadText(m_folder / "stderr.txt");
}

}  // namespace warenkai::test
