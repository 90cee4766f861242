#include "tests/support/ftp_test_server.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>
#include <unistd.h>

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
    if (options.tls != FtpTestTls::None) {
        m_caFile = m_folder / "ca.pem";
        arguments.insert(arguments.end(),
                         {"--tls", (m_folder / "server.pem").string(), (m_folder / "server.key").string(),
                          "--new-certificate", options.certificateHost, m_caFile.string()});
        if (options.tls == FtpTestTls::Implicit) {
            arguments.push_back("--implicit-tls");
        }
    }
    // File names travel as UTF-8 whatever the locale.
    m_startError = m_process.Start(std::move(arguments), m_folder / "stderr.txt",
                                   {"PYTHONUTF8=1", "PYTHONDONTWRITEBYTECODE=1"});
    if (!m_startError.empty()) {
        return;
    }

    // Wait for "PORT <n>".
    const ChildLine first = m_process.ReadFirstLine(kStartTimeout);
    if (first.timedOut) {
        m_startError = "the FTP server did not report its port in time";
    } else if (first.ended) {
        m_startError = "the FTP server ended at start";
    }
    const std::string& line = first.text;
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
    m_process.Stop(kStopTimeout);
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
