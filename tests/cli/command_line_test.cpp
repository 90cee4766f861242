#include "app/cli/command_line.h"

#include <sstream>

#include <gtest/gtest.h>

#include "app/cli/command_line_arguments.h"
#include "common/run_history.h"
#include "common/status_area.h"
#include "common/text_file.h"
#include "common/user_dialogs.h"
#include "common/web_opener.h"
#include "selectline/selectline_application.h"
#include "settings/settings.h"
#include "shop/shop_page.h"
#include "tests/support/journal.h"
#include "tests/support/recording_ftp.h"
#include "tests/support/temp_folder.h"

namespace warenkai::test {
namespace {

// The command line in-process, with the program's own console but fake transfers, FTP control,
// Selectline and page requests.
class CommandLineTest : public ::testing::Test {
protected:
    CommandLineTest() {
        Settings own;
        own.ftpServer = "shop.example:21";
        own.shopLink = "http://shop.example";
        SaveSettings(folder / kSettingsFileName, own);

        services.out = &out;
        services.err = &err;
        services.in = &in;
        services.drawProgress = false;
        auto record = [this](const char* name) {
            return [this, name](const Settings& settings, TransferContext& context) {
                ran.push_back(name);
                seenFtpServer = settings.ftpServer;
                seenProgramFolder = context.programFolder;
                return transfer ? transfer(settings, context) : TransferOutcome::Completed;
            };
        };
        services.articleTransfer = record("articles");
        services.pictureUpload = record("pictures");
        services.customerOrderImport = record("orders");
        services.makeFtpControl = [this] {
            auto control = std::make_unique<RecordingFtpControl>(journal);
            ftp = control.get();
            return std::unique_ptr<FtpControl>(std::move(control));
        };
        services.makeSelectline = [](const std::filesystem::path&) -> SelectlineFactory {
            return [] { return std::unique_ptr<SelectlineApplication>(); };
        };
        services.requestPage = [this](const std::string& address) {
            requested.push_back(address);
            HttpPageResult result;
            result.status = 200;
            if (!pageResults.empty()) {
                result = pageResults.front();
                pageResults.pop_front();
            }
            return result;
        };
    }

    int Run(const std::vector<std::string>& arguments) {
        return RunCommandLine(arguments, folder.path(), services, cancel);
    }

    TempFolder folder;
    CancelRequest cancel;
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in;
    Journal journal;
    CommandLineServices services;
    std::function<TransferOutcome(const Settings&, TransferContext&)> transfer;
    std::vector<std::string> ran;
    std::string seenFtpServer;
    std::filesystem::path seenProgramFolder;
    RecordingFtpControl* ftp = nullptr;
    std::vector<std::string> requested;
    std::deque<HttpPageResult> pageResults;
};

TEST_F(CommandLineTest, EachWordRunsItsTransferWithTheSettingsOfTheProgramFolder) {
    EXPECT_EQ(Run({"articles"}), kExitNoErrors);
    EXPECT_EQ(Run({"pictures"}), kExitNoErrors);
    EXPECT_EQ(Run({"orders"}), kExitNoErrors);
    EXPECT_EQ(ran, (std::vector<std::string>{"articles", "pictures", "orders"}));
    EXPECT_EQ(seenFtpServer, "shop.example:21");
    EXPECT_EQ(seenProgramFolder, folder.path());
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "");
}

TEST_F(CommandLineTest, AnotherSettingsFileIsReadAndNoSettingsFileIsRewritten) {
    // Only the lines it holds, in no order the program would write: a rewrite would show.
    const std::string otherBytes = "DATENCHECK2=Ja\r\nGRUND0=anderer.example:2121\r\n";
    const auto other = folder.Write("andere.ini", otherBytes);
    const std::string ownBytes = folder.Read(kSettingsFileName);

    EXPECT_EQ(Run({"pictures", "--settings", other.string()}), kExitNoErrors);
    EXPECT_EQ(seenFtpServer, "anderer.example:2121");
    EXPECT_EQ(folder.Read("andere.ini"), otherBytes);
    EXPECT_EQ(folder.Read(kSettingsFileName), ownBytes);
}

TEST_F(CommandLineTest, ASettingsFileThatCannotBeReadStopsBeforeTheTransfer) {
    const auto missing = folder / "fehlt.ini";
    EXPECT_EQ(Run({"orders", "--settings", missing.string()}), kExitStoppedOrUsage);
    EXPECT_TRUE(ran.empty());
    EXPECT_EQ(err.str(), "warenkai: Die Einstellungsdatei " + missing.string() + " kann nicht gelesen werden.\n");
}

TEST_F(CommandLineTest, TheExitStatusTellsWhetherTheErrorListHoldsLinesAtTheEnd) {
    transfer = [](const Settings&, TransferContext& context) {
        context.status.ClearErrors();
        context.status.AddError("Fehler: Artikelstamm2");
        return TransferOutcome::Completed;
    };
    EXPECT_EQ(Run({"articles"}), kExitErrorsListed);
    EXPECT_EQ(err.str(), "Fehler: Artikelstamm2\n");
    // The run is in the history, whatever its end.
    EXPECT_NE(folder.Read(kRunHistoryFileName).find(" | Artikel zum Webshop | fertig, mit Fehlern\r\n"),
              std::string::npos);

    // Lines of an earlier stage that the transfer cleared do not count.
    transfer = [](const Settings&, TransferContext& context) {
        context.status.AddError("Fehler: alt");
        context.status.ClearErrors();
        return TransferOutcome::Completed;
    };
    EXPECT_EQ(Run({"articles"}), kExitNoErrors);
}

TEST_F(CommandLineTest, ATransferStoppedByAnErrorEndsWithStatusTwo) {
    transfer = [](const Settings&, TransferContext& context) {
        context.status.ClearErrors();
        return RunTransfer(context.status, context.dialogs,
                           [] { throw std::runtime_error("Tabelle AR kann nicht geöffnet werden"); });
    };
    EXPECT_EQ(Run({"articles"}), kExitStoppedOrUsage);
    // The result line is the last line of standard output.
    EXPECT_EQ(
        out.str(),
        "Die Übertragung wurde abgebrochen\nTabelle AR kann nicht geöffnet werden\nWegen eines Fehlers beendet\n");
    EXPECT_EQ(err.str(), "Tabelle AR kann nicht geöffnet werden\n");
}

TEST_F(CommandLineTest, AnErrorThatEscapesTheTransferIsReportedAndEndsWithStatusTwo) {
    transfer = [](const Settings&, TransferContext&) -> TransferOutcome { throw std::runtime_error("kaputt"); };
    EXPECT_EQ(Run({"orders"}), kExitStoppedOrUsage);
    EXPECT_EQ(err.str(), "Fehler: kaputt\n");
}

TEST_F(CommandLineTest, ShopPagesAreRequestedUntilTheShopStopsAnsweringAndEveryFailureIsListedWithItsCause) {
    const std::vector<std::string> pages = {"http://shop.example/import2.php?Autowert=artikelstamm1.csv",
                                            "http://shop.example/import2.php?Autowert=artikelstamm2.csv",
                                            "http://shop.example/import2.php?Autowert=artikelgruppe.csv",
                                            "http://shop.example/import2.php?Autowert=artikelstamm3.csv"};
    transfer = [&pages](const Settings&, TransferContext& context) {
        context.status.ClearErrors();
        for (const auto& page : pages) {
            OpenShopPage(context, page);
        }
        return TransferOutcome::Completed;
    };
    HttpPageResult ok;
    ok.status = 200;
    HttpPageResult serverError;
    serverError.status = 500;
    HttpPageResult silent;
    silent.error = "Operation timed out after 600000 milliseconds with 0 bytes received";
    silent.unreachable = true;
    pageResults = {ok, serverError, silent, ok};

    EXPECT_EQ(Run({"articles"}), kExitErrorsListed);
    EXPECT_EQ(requested, (std::vector<std::string>{pages[0], pages[1], pages[2]}));
    EXPECT_EQ(err.str(), "Fehler: Seite " + pages[1] + " nicht geöffnet\n    HTTP 500\n" + "Fehler: Seite " + pages[2] +
                             " nicht geöffnet\n    " + silent.error + "\n" + "Fehler: Seite " + pages[3] +
                             " nicht geöffnet\n    nicht abgerufen: der Webshop hat auf eine Seite davor nicht "
                             "geantwortet (" +
                             silent.error + ")\n");
}

TEST_F(CommandLineTest, WithBrowserThePageIsOpenedAndTheNextMessageWaitsForEnter) {
    services.browserProgram = "/bin/true";
    in.str("\nrest\n");
    transfer = [](const Settings&, TransferContext& context) {
        context.web.OpenWebAddress("http://shop.example/export2.php");
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
}

TEST_F(CommandLineTest, WithBrowserABrowserThatCannotStartIsListed) {
    services.browserProgram = (folder / "kein-browser").string();
    transfer = [](const Settings&, TransferContext& context) {
        OpenShopPage(context, "http://shop.example/export2.php");
        OpenShopPage(context, "-rf");
        return TransferOutcome::Completed;
    };
    EXPECT_EQ(Run({"orders", "--browser"}), kExitErrorsListed);
    EXPECT_EQ(err.str(), "Fehler: Seite http://shop.example/export2.php nicht geöffnet\n    " +
                             (folder / "kein-browser").string() +
                             ": No such file or directory\n"
                             "Fehler: Seite -rf nicht geöffnet\n    keine gültige Adresse\n");
}

TEST_F(CommandLineTest, UsageErrorsGoToStandardErrorAndHelpToStandardOutput) {
    EXPECT_EQ(Run({"artikel"}), kExitStoppedOrUsage);
    EXPECT_EQ(err.str(), "warenkai: Unbekannter Befehl: artikel\n\n" + CommandLineUsage());
    EXPECT_EQ(out.str(), "");
    err.str("");
    EXPECT_EQ(Run({"--help"}), kExitNoErrors);
    EXPECT_EQ(out.str(), CommandLineUsage());
    EXPECT_EQ(err.str(), "");
    EXPECT_TRUE(ran.empty());
}

}  // namespace
}  // namespace warenkai::test
