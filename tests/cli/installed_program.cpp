#include <gtest/gtest.h>

#include "tests/cli/installed_program.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <sstream>

#ifndef WARENKAI_CLI_PROGRAM
#error "WARENKAI_CLI_PROGRAM must name the command-line program"
#endif

namespace warenkai::test {

InstalledProgram::InstalledProgram() : m_program(m_folder / "warenkai") {
    std::error_code error;
    // A hard link where the file system allows it, a copy elsewhere.
    std::filesystem::create_hard_link(WARENKAI_CLI_PROGRAM, m_program, error);
    if (error) {
        std::filesystem::copy_file(WARENKAI_CLI_PROGRAM, m_program, std::filesystem::copy_options::overwrite_existing);
    }
}

void InstalledProgram::WriteSettings(const Settings& settings) const {
    ASSERT_TRUE(SaveSettings(Folder() / kSettingsFileName, settings));
}

ProgramResult InstalledProgram::Run(const std::vector<std::string>& arguments, std::chrono::milliseconds timeout,
                                    const std::string& interruptOn) const {
    return RunProgram(m_program, arguments, timeout, Folder(), interruptOn);
}

::testing::AssertionResult HasLinesInOrder(const std::string& text, const std::vector<std::string>& lines) {
    std::istringstream stream(text);
    std::size_t next = 0;
    for (std::string line; next < lines.size() && std::getline(stream, line);) {
        if (line == lines[next]) {
            ++next;
        }
    }
    if (next == lines.size()) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "line \"" << lines[next] << "\" not found (in this order) in:\n" << text;
}

int ClosedLocalPort() {
    const int descriptor = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(descriptor, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(descriptor);
    return ntohs(address.sin_port);
}

}  // namespace warenkai::test
