#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace warenkai::test {

// A program that a test runs beside itself: the FTP test server, the demo shop, the program under
// test. Its standard output and error go to files of its own; SIGINT and SIGPIPE act by default in
// it. Its standard input is a pipe that stays open while it runs (a server started for a test ends
// when it closes, so none outlives a test process that died), or empty for a program that must not
// wait for input. The destructor stops it.
class ChildProcess {
public:
    struct Options {
        std::filesystem::path folder{};  // its working folder; empty: this process's
        bool inputOpen = true;           // false: standard input is /dev/null
        bool readerGone = false;         // standard output is a pipe whose reader has gone
    };

    ChildProcess() = default;
    ~ChildProcess() { Stop(std::chrono::seconds(3)); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts arguments[0] (a full path) with `arguments`; a program that cannot be run ends with 127.
    // Returns what went wrong, or an empty text.
    std::string Start(std::vector<std::string> arguments, const Options& options);
    std::string Start(std::vector<std::string> arguments) { return Start(std::move(arguments), Options{}); }
    bool Running() const { return m_pid > 0; }
    std::string Out() const { return m_files.Read("out"); }
    std::string Err() const { return m_files.Read("err"); }
    // Waits until its standard output holds `text` (true), or it ends or `timeout` passes (false).
    bool WaitForOutput(const std::string& text, std::chrono::milliseconds timeout);
    void Signal(int signal) const;
    // Waits for its end, killing it after `timeout`: its exit status, or -1 when a signal ended it.
    int Wait(std::chrono::milliseconds timeout);
    // Closes its standard input, asks it to end (SIGTERM) and waits as Wait does.
    void Stop(std::chrono::milliseconds timeout);

private:
    bool Ended();  // reaps it once it has ended

    TempFolder m_files;
    pid_t m_pid = -1;
    int m_input = -1;  // its standard input
    int m_exit = -1;
};

}  // namespace warenkai::test
