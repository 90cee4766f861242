#include "export/article_transfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "tests/export/export_fixture.h"
#include "tests/export/failing_folder.h"

namespace warenkai::test {
namespace {

class ArticleTransferTest : public ExportTest {
protected:
    ArticleTransferTest() {
        SetShopAccess(settings, {.shopLink = "https://shop.example"});
        settings.passiveMode = true;  // not read by the article upload
        ClearMapping();
        Map("artikelnummer", "Artikelnummer");
        Map("bezeichnung", "Bezeichnung");
        Map("vk_brutto", "Listenpreis", "0");
        Map("obergruppe", "Artikelgruppe Parent");
        Map("untergruppe", "Artikelgruppe");
        database->Table("AG").Add({{"Nummer", "1"}, {"Bezeichnung", "Technik"}, {"Parent", ""}});
        database->Table("AR")
            .Add({{"Artikelnummer", "4711"}, {"Bezeichnung", "Kabel"}, {"Artikelgruppe", "1"}, {"Listenpreis", 4.5}})
            .Add({{"Artikelnummer", "4712"}, {"Bezeichnung", "Stecker"}, {"Artikelgruppe", "1"}});
    }

    // The journal from the export's first status text on (what the session did before is its own).
    std::vector<std::string> FromExport() const {
        const auto& entries = journal.Entries();
        const auto first = std::find(entries.begin(), entries.end(), "status: Auslesen von Artikeln aus Selectline");
        return {first, entries.end()};
    }

    std::string Local(const std::string& name) const { return (folder.path() / name).string(); }
};

const std::string kRemote = "/shop/login/admin/sonstiges/import/import/";
const std::string kPage = "https://shop.example/login/admin/sonstiges/import/import2.php?Autowert=";

std::string RecordOf(const std::string& number, const std::string& name, const std::string& price) {
    std::vector<std::string> fields(32);
    fields[0] = number;
    fields[1] = name;
    fields[6] = price;
    fields[14] = "Technik";
    return Record(fields);
}
const std::string kRecord4711 = RecordOf("4711", "Kabel", "4.5");

TEST_F(ArticleTransferTest, RunsToTheEnd) {
    status.errors = {"from the run before"};
    EXPECT_EQ(RunArticleTransfer(settings, context), TransferOutcome::Completed);

    EXPECT_EQ(journal.Entries().front(), "errors cleared");
    EXPECT_EQ(FromExport(),
              Join({{"status: Auslesen von Artikeln aus Selectline"},
                    ReadingArticle("4711"),
                    ReadingArticle("4712"),
                    {"status: Auslesen von Artikelgruppen", "status: Verbinde mit Webserver",
                     "ftp connect ftp.example.com|shop|geheim|0x00000000", "status: Verbindung erfolgreich",
                     "status: Übertrage den Artikelstamm1",
                     "ftp upload " + Local("artikelstamm1.csv") + " -> " + kRemote + "artikelstamm1.csv mode 1",
                     "status: Artikelstamm erfolgreich übertragen", "status: Übertrage den Artikelgruppen",
                     "ftp upload " + Local("artikelgruppe.csv") + " -> " + kRemote + "artikelgruppe.csv mode 1",
                     "status: Artikelgruppen erfolgreich übertragen", "ftp disconnect",
                     "status: Dateien in den Webshop einlesen", "message: Bitte schließen Sie alle Webbrowser",
                     "status: Lese den die Datei Artikelstamm1 in den Webshop ein",
                     "open: " + kPage + "artikelstamm1.csv&Tabelle=artikel",
                     "message: Klicken Sie auf OK wenn die Datei fertig importiert worden ist",
                     "open: " + kPage + "artikelgruppe.csv&Tabelle=gruppen", "message: Fertig", "status: Fertig"}}));
    EXPECT_TRUE(status.errors.empty());
    EXPECT_EQ(status.result, "2 Artikel in 1 Datei, 2 Gruppenzeilen; 2 Dateien übertragen, 0 Fehler");

    const std::string articles = kArticleHeader + kRecord4711 + RecordOf("4712", "Stecker", "0");
    const std::string groups = "\"obergruppe\",\"untergruppe\"\r\n\"Technik\",\"\"\r\n\"Technik\",\"\"\r\n";
    EXPECT_EQ(Read("artikelstamm1.csv"), articles);
    EXPECT_EQ(Read("artikelgruppe.csv"), groups);
    EXPECT_EQ(ftp.uploaded, (std::map<std::string, std::string>{{kRemote + "artikelstamm1.csv", articles},
                                                                {kRemote + "artikelgruppe.csv", groups}}));
}

TEST_F(ArticleTransferTest, ServerErrorEndsTheTransferWithTheFilesSoFarCompleteAndNothingUploaded) {
    // The list price fails for one article, as a server error in mid-walk.
    database->onCall = [](const std::string& call) {
        if (call == "Listenpreis 4712") {
            throw SelectlineError("Preisberechnung für Artikel 4712 fehlgeschlagen");
        }
    };
    EXPECT_EQ(RunArticleTransfer(settings, context), TransferOutcome::Stopped);

    const std::string text = "Preisberechnung für Artikel 4712 fehlgeschlagen";
    EXPECT_EQ(FromExport(),
              Join({{"status: Auslesen von Artikeln aus Selectline"},
                    ReadingArticle("4711"),
                    // rows 1 to 7; the list price of row 7 fails
                    std::vector<std::string>(7, "status: Auslesen des Artikels: 4712"),
                    {"status: Die Übertragung wurde abgebrochen", "error: " + text, "message: " + text}}));
    EXPECT_EQ(status.errors, std::vector<std::string>{text});
    EXPECT_EQ(status.result, "Wegen eines Fehlers beendet; 1 Artikel in 1 Datei, 0 Fehler");
    EXPECT_TRUE(ftp.uploaded.empty());
    EXPECT_TRUE(web.opened.empty());
    EXPECT_EQ(Read("artikelstamm1.csv"), kArticleHeader + kRecord4711);
}

TEST_F(ArticleTransferTest, UnknownFieldInTheMappingEndsTheTransfer) {
    Map("hersteller", "Farbe");
    EXPECT_EQ(RunArticleTransfer(settings, context), TransferOutcome::Stopped);
    const std::string text = "Das Feld Farbe gibt es in der Tabelle AR nicht";
    EXPECT_EQ(journal.Entries().back(), "message: " + text);
    EXPECT_EQ(status.errors, std::vector<std::string>{text});
    EXPECT_EQ(status.statusText, "Die Übertragung wurde abgebrochen");
    EXPECT_TRUE(journal.Starting("ftp").empty());
    EXPECT_EQ(Read("artikelstamm1.csv"), "<missing>");
}

// The article file after its header line, the group file at its creation: nothing goes to the shop,
// and a file begun is let go.
TEST_F(ArticleTransferTest, AFileThatCannotBeWrittenEndsTheTransfer) {
    const std::tuple<std::string, int, std::string> cases[] = {
        {"artikelstamm1.csv", 1, "close"}, {"artikelgruppe.csv", -1, "replace artikelgruppe.csv"}};
    for (const auto& [name, failWritesAfter, lastStep] : cases) {
        FailingFolder files;
        files.failWritesAfter = failWritesAfter;
        files.failCreateOf = failWritesAfter < 0 ? name : std::string();
        EXPECT_EQ(RunArticleTransfer(settings, context, files), TransferOutcome::Stopped);
        const std::string text = "Die Datei " + Local(name) + " konnte nicht geschrieben werden";
        EXPECT_EQ(status.errors, std::vector<std::string>{text});
        EXPECT_EQ(journal.Entries().back(), "message: " + text);
        EXPECT_TRUE(journal.Starting("ftp").empty());
        EXPECT_EQ(files.log.back(), lastStep);
    }
}

TEST_F(ArticleTransferTest, GroupFileThatCannotBeCreatedIsFoundOutByTheUploadWhenItHasNoLines) {
    for (auto& row : database->Table("AR").rows) {
        row["Artikelgruppe"] = Variant("");
    }
    Map("obergruppe", "", "Alles");
    std::filesystem::create_directory(folder / "artikelgruppe.csv");
    ftp.uploadSucceeds = [](const std::string& remote) { return remote.find("artikelgruppe") == std::string::npos; };
    EXPECT_EQ(RunArticleTransfer(settings, context), TransferOutcome::Completed);
    EXPECT_EQ(status.errors, std::vector<std::string>{"Fehler: Artikelgruppen"});
    EXPECT_EQ(status.result, "2 Artikel in 1 Datei, 0 Gruppenzeilen; 1 Datei übertragen, 1 Fehler");
}

TEST_F(ArticleTransferTest, NoArticleWrittenUploadsTheGroupFileOnly) {
    Map("artikelnummer", "");
    EXPECT_EQ(RunArticleTransfer(settings, context), TransferOutcome::Completed);
    EXPECT_EQ(journal.Starting("ftp upload"), std::vector<std::string>{"ftp upload " + Local("artikelgruppe.csv") +
                                                                       " -> " + kRemote + "artikelgruppe.csv mode 1"});
    EXPECT_EQ(journal.Starting("open"),
              std::vector<std::string>{"open: " + kPage + "artikelgruppe.csv&Tabelle=gruppen"});
}

// A cancel during the walk: the files written so far are closed whole, and nothing goes to the shop.
TEST_F(ArticleTransferTest, ACancelAfterAnArticleUploadsNothingAndOpensNoPage) {
    database->Table("AR").Add({{"Artikelnummer", "4713"}, {"Bezeichnung", "Dose"}, {"Artikelgruppe", "1"}});
    status.onStatus = [&](const std::string& text) {
        if (text == "Auslesen des Artikels: 4712") {
            cancel.Request();
        }
    };
    EXPECT_EQ(RunArticleTransfer(settings, context), TransferOutcome::Cancelled);
    EXPECT_EQ(status.errors, std::vector<std::string>{"Abgebrochen nach 2 von 3 Artikeln"});
    EXPECT_EQ(status.result, "Abgebrochen nach 2 von 3 Artikeln; 2 Artikel in 1 Datei, 0 Fehler");
    EXPECT_EQ(status.statusText, kTransferStoppedStatus);
    EXPECT_EQ(Read("artikelstamm1.csv"), kArticleHeader + kRecord4711 + RecordOf("4712", "Stecker", "0"));
    EXPECT_TRUE(journal.Starting("ftp").empty());
    EXPECT_TRUE(web.opened.empty());
    EXPECT_EQ(journal.Starting("message").size(), 1u);  // only the warning before Selectline starts
}

}  // namespace
}  // namespace warenkai::test
