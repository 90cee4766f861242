#include "app/cli/command_line.h"

#include <sstream>

#include <gtest/gtest.h>

#include "app/cli/command_line_arguments.h"
#include "common/run_history.h"
#include "common/status_area.h"
#include "common/transfer_lock.h"
#include "common/user_dialogs.h"
#include "pictures/picture_upload.h"
#include "settings/settings.h"
#include "shop/shop_connection.h"
#include "shop/shop_page.h"
#include "tests/support/recording_ftp.h"
#include "tests/support/temp_folder.h"

namespace warenkai::test {
namespace {

using Kind = CommandLineRequest::Kind;
using Transfer = CommandLineServices::Transfer;

// A request in one line: "<transfer> [<settings file>] [browser]", "help", "version" or the problem.
std::string Described(const CommandLineRequest& request) {
    if (request.kind != Kind::Run) {
        return request.kind == Kind::Help ? "help" : request.kind == Kind::Version ? "version" : request.problem;
    }
    const char* const words[] = {"articles", "pictures", "orders"};
    return words[static_cast<int>(request.transfer)] +
           (request.settingsFile ? " " + request.settingsFile->string() : "") + (request.browser ? " browser" : "");
}

TEST(CommandLineArguments, OneTransferWordWithOptionsBeforeOrAfterItHelpAndVersionWin) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"articles"}, "articles"},
        {{"pictures", "--settings", "a b.ini", "--browser"}, "pictures a b.ini browser"},
        {{"--settings=/x/E.ini", "orders"}, "orders /x/E.ini"},
        {{"--help"}, "help"},
        {{"-h"}, "help"},
        {{"quatsch", "--help"}, "help"},
        {{"--version", "--help"}, "help"},
        {{"articles", "--version"}, "version"},
        {{}, "Es fehlt die Übertragung (articles, pictures oder orders)."},
        {{"--browser"}, "Es fehlt die Übertragung (articles, pictures oder orders)."},
        {{"artikel"}, "Unbekannter Befehl: artikel"},
        {{"Articles"}, "Unbekannter Befehl: Articles"},
        {{"articles", "--schnell"}, "Unbekannte Option: --schnell"},
        {{"articles", "-v"}, "Unbekannte Option: -v"},
        {{"articles", "--settings"}, "Bei --settings fehlt die Einstellungsdatei."},
        {{"articles", "--settings="}, "Bei --settings fehlt die Einstellungsdatei."},
        {{"articles", "--settings", "a", "--settings", "b"}, "--settings ist mehr als einmal angegeben."},
        {{"articles", "orders"}, "Es kann nur eine Übertragung auf einmal gestartet werden: orders"},
    };
    for (const auto& [arguments, request] : cases) {
        EXPECT_EQ(Described(ParseCommandLine(arguments)), request);
    }
}

// The command line in-process, with the program's own console but fake transfers, FTP control,
// Selectline and page requests.
class CommandLineTest : public ::testing::Test {
protected:
    CommandLineTest() {
        folder.Write(kSettingsFileName, "GRUND0=shop.example:21\r\n");
        services.out = &out;
        services.err = &err;
        services.in = &in;
        auto record = [this](const char* name) {
            return [this, name](const Settings& settings, TransferContext& context) {
                ran.push_back(std::string(name) + " " + settings.ftpServer);
                return transfer ? transfer(settings, context) : TransferOutcome::Completed;
            };
        };
        services.articleTransfer = record("articles");
        services.pictureUpload = record("pictures");
        services.customerOrderImport = record("orders");
        services.makeFtpControl = [] { return std::make_unique<IdleFtpControl>(); };
        services.makeSelectline = [](const std::filesystem::path&) { return SelectlineFactory(); };
        services.requestPage = [this](const std::string& address) {
            requested.push_back(address);
            return requested.size() <= pages.size() ? pages[requested.size() - 1] : HttpPageResult{200, {}, false};
        };
    }

    int Run(const std::vector<std::string>& arguments) {
        out.str("");
        err.str("");
        return RunCommandLine(arguments, folder.path(), services, CancelRequest());
    }

    TempFolder folder;
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in;
    CommandLineServices services;
    Transfer transfer;
    std::vector<std::string> ran;
    std::vector<std::string> requested;
    std::vector<HttpPageResult> pages;  // the answers to the page requests, in turn
};

// Each word runs its transfer with the settings of the program folder, or of the file named, which
// is never rewritten; a settings file that cannot be read or a lock held elsewhere stop before any
// transfer.
TEST_F(CommandLineTest, EachWordRunsItsTransferWithTheSettingsOfTheProgramFolderOrTheNamedFile) {
    const std::string otherBytes = "DATENCHECK2=Ja\r\nGRUND0=anderer.example:2121\r\n";
    const auto other = folder.Write("andere.ini", otherBytes);
    EXPECT_EQ(Run({"articles"}), kExitNoErrors);
    EXPECT_EQ(Run({"orders"}), kExitNoErrors);
    EXPECT_EQ(Run({"pictures", "--settings", other.string()}), kExitNoErrors);
    EXPECT_EQ(folder.Read("andere.ini"), otherBytes);
    const auto missing = folder / "fehlt.ini";
    EXPECT_EQ(Run({"orders", "--settings", missing.string()}), kExitStoppedOrUsage);
    EXPECT_EQ(err.str(), "warenkai: Die Einstellungsdatei " + missing.string() + " kann nicht gelesen werden.\n");
    {
        const TransferLock running(folder.path());
        ASSERT_TRUE(running.Held());
        EXPECT_EQ(Run({"pictures"}), kExitStoppedOrUsage);
        EXPECT_EQ(err.str(), std::string("warenkai: ") + kTransferLockBusyText + "\n");
        EXPECT_EQ(out.str(), "");
    }
    EXPECT_EQ(ran, (std::vector<std::string>{"articles shop.example:21", "orders shop.example:21",
                                             "pictures anderer.example:2121"}));
}

// A transfer that opens `pages` in turn and then shows `messages`.
Transfer Opening(std::vector<std::string> pages, std::vector<std::string> messages = {}) {
    return [=](const Settings&, TransferContext& context) {
        for (const auto& page : pages) {
            OpenShopPage(context, page);
        }
        for (const auto& message : messages) {
            context.dialogs.ShowMessage(message);
        }
        return TransferOutcome::Completed;
    };
}

// The exit status tells how the run ended; the result line is the last line of standard output, and
// the run is in the history whatever its end.
TEST_F(CommandLineTest, TheExitStatusTellsHowTheRunEnded) {
    const struct {
        Transfer transfer;
        int exit;
        std::string out;
        std::string err;
        const char* ending;
    } cases[] = {
        {[](const Settings&, TransferContext& context) {
             context.status.ClearErrors();
             context.status.AddError("Fehler: Artikelstamm2");
             context.status.SetResult("1 Artikel");
             return TransferOutcome::Completed;
         },
         kExitErrorsListed, "1 Artikel\n", "Fehler: Artikelstamm2\n", "fertig, mit Fehlern"},
        {[](const Settings&, TransferContext& context) {  // lines of a stage that was cleared do not count
             context.status.AddError("Fehler: alt");
             context.status.ClearErrors();
             return TransferOutcome::Completed;
         },
         kExitNoErrors, "", "Fehler: alt\n", "fertig"},
        // A failed connection and a file that could not be opened, which the window shows only in its
        // status line and a message box, are failures too.
        {[](const Settings&, TransferContext& context) {
             context.status.SetStatusText(kConnectionFailedStatus);
             return TransferOutcome::Completed;
         },
         kExitErrorsListed, "Verbindung konnte nicht aufgebaut werden\n", "", "fertig"},
        {Opening({}, {"Fehler beim öffnen von kundenstamm.csv"}), kExitErrorsListed,
         "Fehler beim öffnen von kundenstamm.csv\n", "", "fertig"},
        // An upload without a valid picture folder could not start.
        {Opening({}, {kInvalidPictureFolderMessage}), kExitStoppedOrUsage, "Der Pfad zu den Bildern ist nicht gültig\n",
         "", "fertig"},
        {Opening({}, {kNoPictureFolderMessage}), kExitStoppedOrUsage, "Kein Pfad zu den Bildern vorhanden\n", "",
         "fertig"},
        {[](const Settings&, TransferContext& context) {
             return RunTransfer(context.status, context.dialogs, [] { throw std::runtime_error("Tabelle AR fehlt"); });
         },
         kExitStoppedOrUsage, "Die Übertragung wurde abgebrochen\nTabelle AR fehlt\nWegen eines Fehlers beendet\n",
         "Tabelle AR fehlt\n", "wegen eines Fehlers beendet"},
        {[](const Settings&, TransferContext&) -> TransferOutcome { throw std::runtime_error("kaputt"); },
         kExitStoppedOrUsage, "", "Fehler: kaputt\n", "wegen eines Fehlers beendet"},
    };
    for (const auto& c : cases) {
        transfer = c.transfer;
        EXPECT_EQ(Run({"articles"}), c.exit) << c.out;
        EXPECT_EQ(out.str(), c.out);
        EXPECT_EQ(err.str(), c.err);
        const std::string newest = RunHistoryNewestFirst(folder.Read(kRunHistoryFileName));
        EXPECT_TRUE(newest.substr(0, newest.find('\n')).ends_with(std::string(" | Artikel zum Webshop | ") + c.ending));
    }
}

TEST_F(CommandLineTest, ShopPagesAreRequestedUntilTheShopStopsAnsweringAndEveryFailureIsListedWithItsCause) {
    const std::vector<std::string> addresses = {"http://shop.example/import2.php?Autowert=artikelstamm1.csv",
                                                "http://shop.example/import2.php?Autowert=artikelstamm2.csv",
                                                "http://shop.example/import2.php?Autowert=artikelgruppe.csv",
                                                "http://shop.example/import2.php?Autowert=artikelstamm3.csv"};
    transfer = Opening(addresses);
    const std::string timedOut = "Operation timed out after 600000 milliseconds with 0 bytes received";
    pages = {{200, {}, false}, {500, {}, false}, {0, timedOut, true}, {200, {}, false}};
    EXPECT_EQ(Run({"articles"}), kExitErrorsListed);
    EXPECT_EQ(requested, (std::vector<std::string>{addresses[0], addresses[1], addresses[2]}));
    EXPECT_EQ(err.str(), "Fehler: Seite " + addresses[1] + " nicht geöffnet\n    HTTP 500\nFehler: Seite " +
                             addresses[2] + " nicht geöffnet\n    " + timedOut + "\nFehler: Seite " + addresses[3] +
                             " nicht geöffnet\n    nicht abgerufen: der Webshop hat auf eine Seite davor nicht "
                             "geantwortet (" +
                             timedOut + ")\n");
}

// With --browser the page goes to the browser and the next message waits for Enter; a browser that
// cannot start and an address that would be taken as an option are listed.
TEST_F(CommandLineTest, WithBrowserThePageIsOpenedAndTheNextMessageWaitsForEnter) {
    services.browserProgram = "/bin/true";
    in.str("\nrest\n");
    transfer = Opening({"http://shop.example/export2.php"},
                       {"Klicken Sie auf OK wenn die Datei fertig exportiert worden ist", "Fertig"});
    EXPECT_EQ(Run({"orders", "--browser"}), kExitNoErrors);
    EXPECT_TRUE(requested.empty());
    EXPECT_EQ(out.str(),
              "Webseite: http://shop.example/export2.php\n"
              "Klicken Sie auf OK wenn die Datei fertig exportiert worden ist\n[Eingabetaste = OK]\nFertig\n");
    std::string unread;
    std::getline(in, unread);
    EXPECT_EQ(unread, "rest");

    services.browserProgram = folder / "kein-browser";
    transfer = Opening({"http://shop.example/export2.php", "-rf"});
    EXPECT_EQ(Run({"orders", "--browser"}), kExitErrorsListed);
    EXPECT_EQ(err.str(),
              "Fehler: Seite http://shop.example/export2.php nicht geöffnet\n    " + services.browserProgram +
                  ": No such file or directory\nFehler: Seite -rf nicht geöffnet\n    keine gültige Adresse\n");
}

TEST_F(CommandLineTest, UsageErrorsGoToStandardErrorAndHelpToStandardOutput) {
    EXPECT_EQ(Run({"artikel"}), kExitStoppedOrUsage);
    EXPECT_EQ(err.str(), "warenkai: Unbekannter Befehl: artikel\n\n" + CommandLineUsage());
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(Run({"--help"}), kExitNoErrors);
    EXPECT_EQ(out.str(), CommandLineUsage());
    EXPECT_EQ(err.str(), "");
    EXPECT_TRUE(ran.empty());
}

}  // namespace
}  // namespace warenkai::test
