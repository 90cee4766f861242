#include "tests/cli/cli_harness.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <cstdio>
#include <optional>
#include <thread>

#include "common/text_file.h"

namespace warenkai::test {

ProgramResult RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                         const std::filesystem::path& folder, const std::string& interruptOn, bool readerGone,
                         std::chrono::seconds timeout) {
    std::vector<std::string> words = {program.string()};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const TempFolder output;
    const std::string outFile = output / "out", errFile = output / "err";
    int pipe[2] = {-1, -1};
    if (readerGone && ::pipe(pipe) == 0) {
        ::close(pipe[0]);
    }
    const pid_t child = ::fork();
    if (child == 0) {  // only async-signal-safe calls from here on
        ::signal(SIGINT, SIG_DFL);
        ::signal(SIGPIPE, SIG_DFL);
        ::dup2(::open("/dev/null", O_RDONLY), 0);
        ::dup2(readerGone ? pipe[1] : ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
        ::dup2(::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        if (folder.empty() || ::chdir(folder.c_str()) == 0) {
            ::execv(argv[0], argv.data());
        }
        ::_exit(127);
    }
    if (pipe[1] >= 0) {
        ::close(pipe[1]);
    }
    ProgramResult result;
    if (child < 0) {
        return result;
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + timeout;
    std::optional<Clock::time_point> interrupted;
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (Clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            status = -1;
            break;
        }
        if (!interruptOn.empty() && !interrupted && output.Read("out").find(interruptOn) != std::string::npos) {
            interrupted = Clock::now();
            ::kill(child, SIGINT);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (status >= 0 && WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    }
    if (interrupted) {
        result.interruptToEnd = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - *interrupted);
    }
    result.out = output.Read("out");
    result.err = output.Read("err");
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

std::string ReadFile(const std::filesystem::path& file) {
    return ReadWholeFile(file, std::size_t{1} << 28).value_or("<missing>");
}

std::string CliData(const std::string& name) {
    return ReadFile(std::filesystem::path(WARENKAI_TEST_DATA) / "cli" / name);
}

DemoShop::DemoShop(int extraCustomers) {
    startError = m_process.Start({"/usr/bin/python3", WARENKAI_DEMO_SHOP_SCRIPT, "--ftp-port", "0", "--http-port", "0",
                                  "--print-ports", "--quiet", "--stop-on-eof", "--root", m_folder / "root", "--log",
                                  m_folder / "requests.log", "--extra-customers", std::to_string(extraCustomers)},
                                 m_folder / "stderr.txt");
    if (startError.empty()) {
        // It reports "ftp=<port> http=<port>" once it listens.
        const std::string line = m_process.ReadFirstLine(std::chrono::seconds(20)).text;
        if (std::sscanf(line.c_str(), "ftp=%d http=%d", &m_ftpPort, &httpPort) != 2) {
            httpPort = 0;
            startError = "the demo shop did not report its ports: " + line + "\n" + m_folder.Read("stderr.txt");
        }
    }
}

}  // namespace warenkai::test
