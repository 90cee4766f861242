#include "tests/support/ftp_test_server.h"

#include <cstdlib>
#include <sstream>

#ifndef WARENKAI_FTP_SERVER_SCRIPT
#error "WARENKAI_FTP_SERVER_SCRIPT must name tests/support/ftp_server.py"
#endif

namespace warenkai::test {

FtpTestServer::FtpTestServer(const FtpServerOptions& options) {
    // Debian's interpreter, which has python3-pyftpdlib; not whatever "python3" is first on PATH. File
    // names travel as UTF-8 whatever the locale (-X utf8); no bytecode beside the script (-B).
    // clang-format off
    std::vector<std::string> arguments = {
        "/usr/bin/python3", "-X", "utf8", "-B", WARENKAI_FTP_SERVER_SCRIPT, "--root", root.path().string(),
        "--log", (m_folder / "events.log").string(), "--certificate-folder", m_folder.path().string(),
        "--user", kUser, kPassword, "elradfmwMT", "--user", kReadOnlyUser, kReadOnlyPassword, "elr",
        "--drop-after", std::to_string(options.dropAfterBytes), "--stall-after", std::to_string(options.stallAfterBytes)};
    // clang-format on
    for (const auto& command : options.muteCommands) {
        arguments.insert(arguments.end(), {"--mute", command});
    }
    if (options.tls != FtpTestTls::None) {
        arguments.insert(arguments.end(), {"--tls", options.tls == FtpTestTls::Explicit ? "explicit" : "implicit"});
    }
    m_startError = m_process.Start(std::move(arguments));
    // It reports "PORT <n>" once it accepts connections.
    if (m_startError.empty() && m_process.WaitForOutput("\n", std::chrono::seconds(15)) &&
        m_process.Out().starts_with("PORT ")) {
        m_port = std::atoi(m_process.Out().c_str() + 5);
    }
    if (m_port == 0) {
        m_startError += "the FTP server did not report its port: " + m_process.Out() + "\n" + Diagnostics();
        m_process.Stop(std::chrono::seconds(3));
    }
}

std::vector<std::string> FtpTestServer::LogStarting(std::string_view prefix) const {
    std::vector<std::string> lines;
    std::istringstream text(m_folder.Read("events.log"));
    for (std::string line; std::getline(text, line);) {
        if (line.starts_with(prefix)) {
            lines.push_back(line);
        }
    }
    return lines;
}

std::string FtpTestServer::Diagnostics() const {
    return m_process.Err();
}

}  // namespace warenkai::test
