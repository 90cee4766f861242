#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "app/cli/page_request_web_opener.h"
#include "common/cancel_request.h"
#include "common/transfer_context.h"
#include "common/transfer_guard.h"
#include "platform/desktop.h"

namespace warenkai {

struct Settings;

// Exit status of a run from the command line.
inline constexpr int kExitNoErrors = 0;        // the error list stayed empty
inline constexpr int kExitErrorsListed = 1;    // the transfer ended with lines in the error list
inline constexpr int kExitStoppedOrUsage = 2;  // stopped by an error, could not start, or wrong call

// Runs `warenkai articles|pictures|orders [--settings FILE] [--browser]`, `--help` or `--version`
// without window (no QApplication is needed), with the program's own transfers, FTP control and
// Selectline server, on standard input, output and error. The first SIGINT or SIGTERM cancels the
// transfer at its next safe point; a second one ends the program at once, with exit status 2. `programFolder` holds the
// settings, the transfers' files, the Selectline database and the transfer lock. Never rewrites a settings file.
// Returns the exit status.
int RunCommandLine(int argc, char** argv, const std::filesystem::path& programFolder);

// What a command-line run talks to; ProgramCommandLineServices gives the program's own.
struct CommandLineServices {
    using Transfer = std::function<TransferOutcome(const Settings& settings, TransferContext& context)>;

    std::ostream* out = nullptr;
    std::ostream* err = nullptr;
    std::istream* in = nullptr;
    // Whether the progress bar is drawn on `err` (a terminal).
    bool drawProgress = false;
    Transfer articleTransfer;
    Transfer pictureUpload;
    Transfer customerOrderImport;
    std::function<std::unique_ptr<FtpControl>()> makeFtpControl;
    std::function<SelectlineFactory(const std::filesystem::path& programFolder)> makeSelectline;
    // How a shop page is requested without browser.
    PageRequester requestPage;
    // The program that opens a page in the desktop's browser (--browser).
    std::string browserProgram = kDesktopOpener;
};

CommandLineServices ProgramCommandLineServices();

// RunCommandLine with the words after the program name and the given services; `cancel` is looked
// at by the transfer at its safe points.
int RunCommandLine(const std::vector<std::string>& arguments, const std::filesystem::path& programFolder,
                   const CommandLineServices& services, const CancelRequest& cancel);

// "Warenkai <version>".
std::string ProgramVersionText();

}  // namespace warenkai
