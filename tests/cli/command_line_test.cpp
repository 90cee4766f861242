#include "app/cli/command_line.h"

#include <iterator>
#include <map>
#include <optional>
#include <sstream>

#include <gtest/gtest.h>

#include "app/cli/command_line_arguments.h"
#include "common/run_history.h"
#include "common/transfer_lock.h"
#include "common/user_dialogs.h"
#include "settings/settings.h"
#include "shop/shop_page.h"
#include "tests/support/recording_ftp.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_data.h"

namespace warenkai::test {
namespace {

Lines Words(const std::string& text) {
    std::istringstream stream(text);
    return {std::istream_iterator<std::string>(stream), {}};
}

// A fake transfer playing `steps`: "clear", "error <line>", "result <line>", "status <text>", "message
// <text>", "page <address>" (opened), "answer <HTTP status>" and "unreachable <error>" (the answer to the
// page requests from then on), "throw <text>" (out of the transfer), "stop <text>" (thrown in its guard).
TransferOutcome Play(const Lines& steps, TransferContext& context, HttpPageResult& answer) {
    TransferOutcome outcome = TransferOutcome::Completed;
    const std::map<std::string, std::function<void(const std::string&)>> actions = {
        {"clear", [&](auto&) { context.status.ClearErrors(); }},
        {"error", [&](auto& text) { context.status.AddError(text); }},
        {"result", [&](auto& text) { context.status.SetResult(text); }},
        {"status", [&](auto& text) { context.status.SetStatusText(text); }},
        {"message", [&](auto& text) { context.dialogs.ShowMessage(text); }},
        {"page", [&](auto& text) { OpenShopPage(context, text); }},
        {"answer", [&](auto& text) { answer = HttpPageResult(std::stol(text), "", false); }},
        {"unreachable", [&](auto& text) { answer = HttpPageResult(0, text, true); }},
        {"throw", [](auto& text) { throw std::runtime_error(text); }},
        {"stop",
         [&](auto& text) {
             outcome = RunTransfer(context.status, context.dialogs, [&] { throw std::runtime_error(text); });
         }},
    };
    for (const auto& step : steps) {
        const auto space = std::min(step.find(' '), step.size());
        actions.at(step.substr(0, space))(step.substr(std::min(space + 1, step.size())));
    }
    return outcome;
}

const std::string kOtherSettings = "DATENCHECK2=Ja\r\nGRUND0=anderer.example:2121\r\n";

// The command line in-process with its own console, the fake transfer, fake FTP control, Selectline and
// page requests, in a program folder whose settings name the FTP server "shop.example:21" and beside them
// "andere.ini". The run as lines: each transfer run with its FTP server ("ran: "), each page requested
// ("request: "), standard output ("out: ") and standard error ("err: "; the help text "<Hilfe>", the version
// "<Version>"), the run's entry in the history ("history: ") and the exit status.
Lines RunInProcess(const std::string& arguments, const Lines& steps) {
    TempFolder folder;
    folder.Write(kSettingsFileName, "GRUND0=shop.example:21\r\n");
    folder.Write("andere.ini", kOtherSettings);
    std::ostringstream out, err;
    std::istringstream in;
    Lines lines;
    HttpPageResult answer{200, {}, false};
    const auto transfer = [&](const char* name) -> CommandLineServices::Transfer {
        return [&, name](const Settings& settings, TransferContext& context) {
            lines.push_back(std::string("ran: ") + name + " " + settings.ftpServer);
            return Play(steps, context, answer);
        };
    };
    CommandLineServices services{
        .out = &out,
        .err = &err,
        .in = &in,
        .articleTransfer = transfer("articles"),
        .pictureUpload = transfer("pictures"),
        .customerOrderImport = transfer("orders"),
        .makeFtpControl = [] { return std::make_unique<IdleFtpControl>(); },
        .makeSelectline = [](const std::filesystem::path&) { return SelectlineFactory(); },
        .requestPage =
            [&](const std::string& address) {
                lines.push_back("request: " + address);
                return answer;
            },
        .browserProgram = "/bin/true",
    };
    // "@locked": another run holds the folder's transfer lock; "@browser=<program>"; "<Ordner>" the folder.
    std::optional<TransferLock> lock;
    Lines words;
    for (const auto& word : Words(arguments)) {
        if (word == "@locked") {
            lock.emplace(folder.path());
        } else if (word.starts_with("@browser=")) {
            services.browserProgram = word.substr(9);
        } else {
            words.push_back(word.starts_with("<Ordner>") ? folder.path().string() + word.substr(8) : word);
        }
    }
    const int exitStatus = RunCommandLine(words, folder.path(), services, CancelRequest());
    for (auto [name, stream] : {std::pair{"out:", &out}, {"err:", &err}}) {
        std::string text = stream->str();
        for (const auto& [from, to] :
             {std::pair{CommandLineUsage(), "<Hilfe>\n"}, {ProgramVersionText(), "<Version>"}}) {
            if (const auto at = text.find(from); at != std::string::npos) {
                text.replace(at, from.size(), to);
            }
        }
        for (std::size_t at = 0, end; at < text.size(); at = end + 1) {
            end = std::min(text.find('\n', at), text.size());
            lines.push_back(name + std::string(end > at ? " " : "") + text.substr(at, end - at) +
                            (end == text.size() ? "<ohne Zeilenende>" : ""));
        }
    }
    if (std::filesystem::exists(folder / kRunHistoryFileName)) {
        const std::string newest = RunHistoryNewestFirst(folder.Read(kRunHistoryFileName));
        lines.push_back("history: " +
                        newest.substr(newest.find(" | ") + 3, newest.find('\n') - newest.find(" | ") - 3));
    }
    lines.push_back("exit " + std::to_string(exitStatus));
    EXPECT_EQ(folder.Read("andere.ini"), kOtherSettings) << "a named settings file is never rewritten";
    return lines;
}

// tests/data/cli/runs.txt: "> " and the arguments, then the fake transfer's steps ("- <step>") and the
// lines the run gives.
TEST(CommandLine, RunsEndWithTheirExitStatusOutputAndHistoryEntry) {
    for (const auto& [arguments, lines] : Cases("cli/runs.txt")) {
        Lines steps, expected;
        for (const auto& line : lines) {
            (line.starts_with("- ") ? steps : expected).push_back(line.substr(line.starts_with("- ") ? 2 : 0));
        }
        EXPECT_EQ(RunInProcess(arguments, steps), expected) << arguments;
    }
}

}  // namespace
}  // namespace warenkai::test
