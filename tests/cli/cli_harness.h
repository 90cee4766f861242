#pragma once

// Programs run as a user runs them, and the demo shop they talk to.

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "settings/settings.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

namespace warenkai::test {

struct ProgramResult {
    int exitCode = -1;  // -1: did not start, ended by a signal or killed at the time-out
    std::string out;
    std::string err;
    std::chrono::milliseconds interruptToEnd{0};  // from the SIGINT (see RunProgram) to the end
};

// Runs `program` in `folder` with an empty standard input, SIGINT and SIGPIPE acting by default, and
// both outputs collected, or standard output a pipe whose reader has gone (`readerGone`). It gets one
// SIGINT as soon as its standard output holds `interruptOn`, and is killed after `timeout`.
ProgramResult RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                         const std::filesystem::path& folder = {}, const std::string& interruptOn = {},
                         bool readerGone = false, std::chrono::seconds timeout = std::chrono::seconds(300));

// The command-line program alone in a fresh program folder: its settings, lock, Selectline database
// and files all live beside it.
struct InstalledProgram {
    InstalledProgram();
    void WriteSettings(const Settings& settings) const {
        ASSERT_TRUE(SaveSettings(files / kSettingsFileName, settings));
    }
    ProgramResult Run(const std::vector<std::string>& arguments, const std::string& interruptOn = {},
                      bool readerGone = false) const {
        return RunProgram(files / "warenkai", arguments, files.path(), interruptOn, readerGone);
    }
    TempFolder files;
};

// tools/demo_shop.py: its FTP server (user and password "demo") and its pages on free ports of
// 127.0.0.1, over a fresh root folder; it ends with this object or when the test process dies.
class DemoShop {
public:
    explicit DemoShop(int extraCustomers = 0);
    bool Running() const { return m_process.Running() && httpPort != 0; }
    std::string FtpServer() const { return "127.0.0.1:" + std::to_string(m_ftpPort); }
    std::string ShopLink() const { return "http://127.0.0.1:" + std::to_string(httpPort) + "/shop"; }
    // The bytes of a file below what the FTP user sees as /shop, or "<missing>".
    std::string Read(const std::string& below) const { return m_folder.Read("root/shop/" + below); }
    // The page requests so far, a line each: "<path and query> <status>".
    std::string Requests() const { return m_folder.Read("requests.log"); }

    std::string startError;
    int httpPort = 0;

private:
    TempFolder m_folder;
    ChildProcess m_process;
    int m_ftpPort = 0;
};

}  // namespace warenkai::test
