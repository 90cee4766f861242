#pragma once

#include <sys/types.h>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace warenkai::test {

// What the first line of a child's standard output brought.
struct ChildLine {
    std::string text;       // what was read, up to the line end (possibly a little more)
    bool timedOut = false;  // no line end came in time
    bool ended = false;     // the child closed its output before the line end
};

// A helper program that a test runs beside itself (the FTP test server, the demo shop): its standard
// input is a pipe that stays open while it runs (closing it tells a server started for this to end,
// so none is left behind when the test process dies), its standard output a pipe that reports one
// line at start, its standard error a file for the diagnostics. The destructor stops it.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts arguments[0] (a full path) with `arguments` and this process's environment, standard
    // error written to `errorFile`. Returns what went wrong, or an empty text.
    std::string Start(std::vector<std::string> arguments, const std::filesystem::path& errorFile);

    bool Running() const { return m_pid > 0; }

    // Reads the child's standard output until the end of its first line, waiting at most `timeout`,
    // and closes the output then.
    ChildLine ReadFirstLine(std::chrono::milliseconds timeout);

    // Closes the child's standard input, asks it to end (SIGTERM), kills it when it has not ended
    // after `timeout`, and reaps it. Does nothing when it does not run.
    void Stop(std::chrono::milliseconds timeout);

private:
    pid_t m_pid = -1;
    int m_input = -1;   // the child's standard input
    int m_output = -1;  // the child's standard output
};

}  // namespace warenkai::test
