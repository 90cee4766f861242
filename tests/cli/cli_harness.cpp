#include "tests/cli/cli_harness.h"

#include <csignal>
#include <cstdio>
#include <optional>

namespace warenkai::test {

ProgramResult RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                         const std::filesystem::path& folder, const std::string& interruptOn, bool readerGone,
                         std::chrono::seconds timeout) {
    std::vector<std::string> words = {program.string()};
    words.insert(words.end(), arguments.begin(), arguments.end());
    ChildProcess child;
    ProgramResult result;
    if (!child.Start(std::move(words), {.folder = folder, .inputOpen = false, .readerGone = readerGone}).empty()) {
        return result;
    }
    std::optional<std::chrono::steady_clock::time_point> interrupted;
    if (!interruptOn.empty() && child.WaitForOutput(interruptOn, timeout)) {
        interrupted = std::chrono::steady_clock::now();
        child.Signal(SIGINT);
    }
    result.exitCode = child.Wait(timeout);
    if (interrupted) {
        result.interruptToEnd =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - *interrupted);
    }
    result.out = child.Out();
    result.err = child.Err();
    return result;
}

InstalledProgram::InstalledProgram() {
    std::error_code error;
    // A hard link where the file system allows it, a copy elsewhere.
    std::filesystem::create_hard_link(WARENKAI_CLI_PROGRAM, files / "warenkai", error);
    if (error) {
        std::filesystem::copy_file(WARENKAI_CLI_PROGRAM, files / "warenkai");
    }
}

DemoShop::DemoShop(int extraCustomers) {
    startError = m_process.Start({"/usr/bin/python3", WARENKAI_DEMO_SHOP_SCRIPT, "--ftp-port", "0", "--http-port", "0",
                                  "--print-ports", "--quiet", "--stop-on-eof", "--root", m_folder / "root", "--log",
                                  m_folder / "requests.log", "--extra-customers", std::to_string(extraCustomers)});
    // It reports "ftp=<port> http=<port>" once it listens.
    if (!startError.empty() || !m_process.WaitForOutput("\n", std::chrono::seconds(20)) ||
        std::sscanf(m_process.Out().c_str(), "ftp=%d http=%d", &m_ftpPort, &httpPort) != 2) {
        httpPort = 0;
        startError += "the demo shop did not report its ports: " + m_process.Out() + "\n" + m_process.Err();
    }
}

}  // namespace warenkai::test
