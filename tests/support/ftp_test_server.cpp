#include "tests/support/ftp_test_server.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#ifndef WARENKAI_FTP_SERVER_SCRIPT
#error "WARENKAI_FTP_SERVER_SCRIPT must name tests/support/ftp_server.py"
#endif

namespace warenkai::test {
namespace {

std::string ReadText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

FtpTestServer::FtpTestServer(const FtpServerOptions& options) {
    std::string pattern = (std::filesystem::temp_directory_path() / "warenkai-ftp-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        m_startError = "cannot create a temporary folder";
        return;
    }
    m_folder = pattern;
    std::filesystem::create_directory(m_folder / "root");
    // Debian's interpreter, which has python3-pyftpdlib; not whatever "python3" is first on PATH. File
    // names travel as UTF-8 whatever the locale (-X utf8); no bytecode beside the script (-B).
    // clang-format off
    std::vector<std::string> arguments = {
        "/usr/bin/python3", "-X", "utf8", "-B", WARENKAI_FTP_SERVER_SCRIPT, "--root", (m_folder / "root").string(),
        "--log", (m_folder / "events.log").string(), "--certificate-folder", m_folder.string(),
        "--user", kUser, kPassword, "elradfmwMT", "--user", kReadOnlyUser, kReadOnlyPassword, "elr",
        "--drop-after", std::to_string(options.dropAfterBytes), "--stall-after", std::to_string(options.stallAfterBytes)};
    // clang-format on
    for (const auto& command : options.muteCommands) {
        arguments.insert(arguments.end(), {"--mute", command});
    }
    if (options.tls != FtpTestTls::None) {
        arguments.insert(arguments.end(), {"--tls", options.tls == FtpTestTls::Explicit ? "explicit" : "implicit"});
    }
    m_startError = m_process.Start(std::move(arguments), m_folder / "stderr.txt");
    if (!m_startError.empty()) {
        return;
    }
    const ChildLine first = m_process.ReadFirstLine(std::chrono::seconds(15));
    if (first.text.starts_with("PORT ")) {
        m_port = std::atoi(first.text.c_str() + 5);
    }
    if (m_port == 0) {
        m_startError = (first.timedOut ? "the FTP server did not report its port in time"
                        : first.ended  ? "the FTP server ended at start"
                                       : "unexpected answer of the FTP server: " + first.text) +
                       "\n" + Diagnostics();
        m_process.Stop(std::chrono::seconds(3));
    }
}

FtpTestServer::~FtpTestServer() {
    m_process.Stop(std::chrono::seconds(3));
    if (!m_folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
}

std::filesystem::path FtpTestServer::PathOf(std::string_view serverPath) const {
    serverPath.remove_prefix(std::min(serverPath.find_first_not_of('/'), serverPath.size()));
    return m_folder / "root" / serverPath;
}

std::optional<std::string> FtpTestServer::ReadFile(std::string_view serverPath) const {
    if (!std::filesystem::is_regular_file(PathOf(serverPath))) {
        return std::nullopt;
    }
    return ReadText(PathOf(serverPath));
}

bool FtpTestServer::Exists(std::string_view serverPath) const {
    return std::filesystem::exists(PathOf(serverPath));
}

void FtpTestServer::WriteFile(std::string_view serverPath, std::string_view bytes) const {
    std::filesystem::create_directories(PathOf(serverPath).parent_path());
    std::ofstream(PathOf(serverPath), std::ios::binary) << bytes;
}

void FtpTestServer::MakeFolder(std::string_view serverPath) const {
    std::filesystem::create_directories(PathOf(serverPath));
}

std::vector<std::string> FtpTestServer::LogStarting(std::string_view prefix) const {
    std::vector<std::string> lines;
    std::istringstream text(ReadText(m_folder / "events.log"));
    for (std::string line; std::getline(text, line);) {
        if (line.starts_with(prefix)) {
            lines.push_back(line);
        }
    }
    return lines;
}

std::string FtpTestServer::Diagnostics() const {
    return ReadText(m_folder / "stderr.txt");
}

}  // namespace warenkai::test
