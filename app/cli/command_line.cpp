#include "app/cli/command_line.h"

#include <exception>
#include <iostream>

#include "app/cli/browser_web_opener.h"
#include "app/cli/command_line_arguments.h"
#include "app/cli/console.h"
#include "app/cli/console_dialogs.h"
#include "app/cli/console_status_area.h"
#include "app/outside_services.h"
#include "common/run_history.h"
#include "common/text_file.h"
#include "common/transfer_lock.h"
#include "common/utf8_path.h"
#include "export/article_transfer.h"
#include "import/customer_order_import.h"
#include "pictures/picture_upload.h"
#include "platform/desktop.h"
#include "platform/interrupt.h"
#include "settings/settings.h"
#include "shop/ftp_control.h"

#ifndef WARENKAI_VERSION
#error "WARENKAI_VERSION must hold the program's version"
#endif

namespace warenkai {
namespace {

// A settings file is a few kilobytes; anything far larger is not one.
constexpr std::size_t kMaxSettingsBytes = std::size_t{16} << 20;

const CommandLineServices::Transfer& TransferOf(const CommandLineServices& services, CommandLineTransfer transfer) {
    switch (transfer) {
        case CommandLineTransfer::Pictures:
            return services.pictureUpload;
        case CommandLineTransfer::Orders:
            return services.customerOrderImport;
        case CommandLineTransfer::Articles:
            break;
    }
    return services.articleTransfer;
}

const char* HistoryNameOf(CommandLineTransfer transfer) {
    switch (transfer) {
        case CommandLineTransfer::Pictures:
            return kPictureUploadName;
        case CommandLineTransfer::Orders:
            return kCustomerOrderImportName;
        case CommandLineTransfer::Articles:
            break;
    }
    return kArticleTransferName;
}

int RunTransferWithoutWindow(const CommandLineRequest& request, const std::filesystem::path& programFolder,
                             const CommandLineServices& services, const CancelRequest& cancel) {
    std::ostream& out = *services.out;
    std::ostream& err = *services.err;

    const std::filesystem::path settingsFile =
        request.settingsFile ? *request.settingsFile : programFolder / kSettingsFileName;
    // Read once, as the window does at start; unlike the window, a missing file is not taken as
    // empty settings: a transfer with an empty server and empty paths is never what was meant.
    const auto settingsBytes = ReadWholeFile(settingsFile, kMaxSettingsBytes);
    if (!settingsBytes) {
        err << "warenkai: Die Einstellungsdatei " << PathToUtf8(settingsFile) << " kann nicht gelesen werden.\n";
        return kExitStoppedOrUsage;
    }
    Settings settings;
    ApplySettingsFile(*settingsBytes, settings);

    TransferLock lock(programFolder);
    if (!lock.Held()) {
        err << "warenkai: " << lock.RefusalText() << '\n';
        return kExitStoppedOrUsage;
    }

    Console console(out, err, services.drawProgress);
    ConsoleStatusArea consoleStatus(console);
    RunRecorder status(consoleStatus, HistoryNameOf(request.transfer), std::time(nullptr));
    ConsoleDialogs dialogs(console, *services.in);
    std::unique_ptr<WebOpener> web;
    if (request.browser) {
        web = std::make_unique<BrowserWebOpener>(console, dialogs, services.browserProgram);
    } else {
        web = std::make_unique<PageRequestWebOpener>(services.requestPage);
    }

    TransferOutcome outcome = TransferOutcome::Stopped;
    try {
        std::unique_ptr<FtpControl> ftp = services.makeFtpControl();
        TransferContext context{status,        dialogs, *web, *ftp, services.makeSelectline(programFolder),
                                programFolder, cancel};
        outcome = TransferOf(services, request.transfer)(settings, context);
    } catch (const std::exception& error) {
        // The transfers report their own errors; this is one that escaped them all.
        status.AddError(std::string("Fehler: ") + error.what());
        outcome = TransferOutcome::Stopped;
    }
    console.EndProgress();
    status.Record(outcome, programFolder);
    // The run's last line of standard output, for a log of scheduled runs.
    if (!consoleStatus.Result().empty()) {
        console.PrintLine(consoleStatus.Result());
    }
    if (outcome != TransferOutcome::Completed || dialogs.NotStarted()) {
        return kExitStoppedOrUsage;
    }
    // A failed connection and a file that could not be opened are failures too, although the window
    // shows them only in its status line and a message box.
    const bool failed = consoleStatus.ErrorCount() > 0 || consoleStatus.ConnectionFailed() || dialogs.FailureShown();
    return failed ? kExitErrorsListed : kExitNoErrors;
}

}  // namespace

std::string ProgramVersionText() {
    return std::string("Warenkai ") + WARENKAI_VERSION;
}

CommandLineServices ProgramCommandLineServices() {
    CommandLineServices services;
    services.out = &std::cout;
    services.err = &std::cerr;
    services.in = &std::cin;
    services.drawProgress = ErrorOutputIsTerminal();
    services.articleTransfer = [](const Settings& settings, TransferContext& context) {
        return RunArticleTransfer(settings, context);
    };
    services.pictureUpload = [](const Settings& settings, TransferContext& context) {
        return UploadPictures(settings, context);
    };
    services.customerOrderImport = [](const Settings& settings, TransferContext& context) {
        return RunCustomerOrderImport(settings, context);
    };
    services.makeFtpControl = MakeProgramFtpControl;
    services.makeSelectline = MakeProgramSelectline;
    services.requestPage = [](const std::string& address) { return RequestHttpPage(address); };
    return services;
}

int RunCommandLine(const std::vector<std::string>& arguments, const std::filesystem::path& programFolder,
                   const CommandLineServices& services, const CancelRequest& cancel) {
    const CommandLineRequest request = ParseCommandLine(arguments);
    switch (request.kind) {
        case CommandLineRequest::Kind::Help:
            *services.out << CommandLineUsage();
            services.out->flush();
            return kExitNoErrors;
        case CommandLineRequest::Kind::Version:
            *services.out << ProgramVersionText() << '\n';
            services.out->flush();
            return kExitNoErrors;
        case CommandLineRequest::Kind::UsageError:
            *services.err << "warenkai: " << request.problem << "\n\n" << CommandLineUsage();
            services.err->flush();
            return kExitStoppedOrUsage;
        case CommandLineRequest::Kind::Run:
            break;
    }
    return RunTransferWithoutWindow(request, programFolder, services, cancel);
}

int RunCommandLine(int argc, char** argv, const std::filesystem::path& programFolder) {
    PrepareConsole();
    static CancelRequest cancel;
    CancelOnInterrupt(cancel);
    std::vector<std::string> arguments = ProgramArguments(argc, argv);
    if (!arguments.empty()) {
        arguments.erase(arguments.begin());
    }
    return RunCommandLine(arguments, programFolder, ProgramCommandLineServices(), cancel);
}

}  // namespace warenkai
