#include "app/cli/command_line.h"

#include <deque>
#include <sstream>

#include <gtest/gtest.h>

#include "app/cli/command_line_arguments.h"
#include "common/run_history.h"
#include "common/status_area.h"
#include "common/user_dialogs.h"
#include "common/web_opener.h"
#include "selectline/selectline_application.h"
#include "settings/settings.h"
#include "shop/shop_page.h"
#include "tests/support/recording_ftp.h"
#include "tests/support/temp_folder.h"

namespace warenkai::test {
namespace {

using Transfer = std::function<TransferOutcome(const Settings&, TransferContext&)>;

// The command line in-process, with the program's own console but fake transfers, FTP control,
// Selectline and page requests.
class CommandLineTest : public ::testing::Test {
protected:
    CommandLineTest() {
        Settings own;
        own.ftpServer = "shop.example:21";
        SaveSettings(folder / kSettingsFileName, own);
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
        services.makeSelectline = [](const std::filesystem::path&) -> SelectlineFactory {
            return [] { return std::unique_ptr<SelectlineApplication>(); };
        };
        services.requestPage = [this](const std::string& address) {
            requested.push_back(address);
            HttpPageResult result = pageResults.empty() ? HttpPageResult{200, {}, false} : pageResults.front();
            if (!pageResults.empty()) {
                pageResults.pop_front();
            }
            return result;
        };
    }

    int Run(const std::vector<std::string>& arguments) {
        out.str("");
        err.str("");
        return RunCommandLine(arguments, folder.path(), services, cancel);
    }

    TempFolder folder;
    CancelRequest cancel;
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in;
    CommandLineServices services;
    Transfer transfer;
    std::vector<std::string> ran;
    std::vector<std::string> requested;
    std::deque<HttpPageResult> pageResults;
};

// Each word runs its transfer with the settings of the program folder, or of the file named, which
// is never rewritten; a settings file that cannot be read stops before any transfer.
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
    EXPECT_EQ(ran, (std::vector<std::string>{"articles shop.example:21", "orders shop.example:21",
                                             "pictures anderer.example:2121"}));
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
        EXPECT_EQ(Run({"articles"}), c.exit) << c.err;
        EXPECT_EQ(out.str(), c.out);
        EXPECT_EQ(err.str(), c.err);
        const std::string newest = RunHistoryNewestFirst(folder.Read(kRunHistoryFileName));
        EXPECT_TRUE(newest.substr(0, newest.find('\n')).ends_with(std::string(" | Artikel zum Webshop | ") + c.ending));
    }
}

TEST_F(CommandLineTest, ShopPagesAreRequestedUntilTheShopStopsAnsweringAndEveryFailureIsListedWithItsCause) {
    const std::vector<std::string> pages = {"http://shop.example/import2.php?Autowert=artikelstamm1.csv",
                                            "http://shop.example/import2.php?Autowert=artikelstamm2.csv",
                                            "http://shop.example/import2.php?Autowert=artikelgruppe.csv",
                                            "http://shop.example/import2.php?Autowert=artikelstamm3.csv"};
    transfer = [&pages](const Settings&, TransferContext& context) {
        for (const auto& page : pages) {
            OpenShopPage(context, page);
        }
        return TransferOutcome::Completed;
    };
    const std::string timedOut = "Operation timed out after 600000 milliseconds with 0 bytes received";
    pageResults = {{200, {}, false}, {500, {}, false}, {0, timedOut, true}, {200, {}, false}};
    EXPECT_EQ(Run({"articles"}), kExitErrorsListed);
    EXPECT_EQ(requested, (std::vector<std::string>{pages[0], pages[1], pages[2]}));
    EXPECT_EQ(err.str(), "Fehler: Seite " + pages[1] + " nicht geöffnet\n    HTTP 500\nFehler: Seite " + pages[2] +
                             " nicht geöffnet\n    " + timedOut + "\nFehler: Seite " + pages[3] +
                             " nicht geöffnet\n    nicht abgerufen: der Webshop hat auf eine Seite davor nicht "
                             "geantwortet (" +
                             timedOut + ")\n");
}

// With --browser the page goes to the browser and the next message waits for Enter; a browser that
// cannot start and an address that would be taken as an option are listed.
TEST_F(CommandLineTest, WithBrowserThePageIsOpenedAndTheNextMessageWaitsForEnter) {
    services.browserProgram = "/bin/true";
    in.str("\nrest\n");
    transfer = [](const Settings&, TransferContext& context) {
        OpenShopPage(context, "http://shop.example/export2.php");
        context.dialogs.ShowMessage("Klicken Sie auf OK wenn die Datei fertig exportiert worden ist");
        context.dialogs.ShowMessage("Fertig");
        return TransferOutcome::Completed;
    };
    EXPECT_EQ(Run({"orders", "--browser"}), kExitNoErrors);
    EXPECT_TRUE(requested.empty());
    EXPECT_EQ(out.str(),
              "Webseite: http://shop.example/export2.php\n"
              "Klicken Sie auf OK wenn die Datei fertig exportiert worden ist\n[Eingabetaste = OK]\nFertig\n");
    std::string unread;
    std::getline(in, unread);
    EXPECT_EQ(unread, "rest");

    services.browserProgram = (folder / "kein-browser").string();
    transfer = [](const Settings&, TransferContext& context) {
        OpenShopPage(context, "http://shop.example/export2.php");
        OpenShopPage(context, "-rf");
        return TransferOutcome::Completed;
    };
    EXPECT_EQ(Run({"orders", "--browser"}), kExitErrorsListed);
    EXPECT_EQ(err.str(),
              "Fehler: Seite http://shop.example/export2.php nicht geöffnet\n    " +
                  (folder / "kein-browser").string() +
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
