#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace warenkai::test {

// What a program run as a subprocess did.
struct ProgramResult {
    int exitCode = -1;  // -1 when it did not end normally
    bool timedOut = false;
    std::string out;
    std::string err;
    std::string startError;
    // From the interrupt (see RunProgram) to the program's end; zero when none was sent.
    std::chrono::milliseconds interruptToEnd{0};
};

// Runs `program` with `arguments`, an empty standard input and its output collected, in
// `workingFolder` (empty: the current one). A program that has not ended after `timeout` is killed
// and reported as timed out. With `interruptOn`, the program gets one SIGINT as soon as its standard
// output holds that text.
ProgramResult RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                         std::chrono::milliseconds timeout = std::chrono::seconds(120),
                         const std::filesystem::path& workingFolder = {}, const std::string& interruptOn = {});

}  // namespace warenkai::test
