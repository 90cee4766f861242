// The article transfer against the SQLite Selectline stand-in and a real FTP server (pyftpdlib) with
// the libcurl control the program uses.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "common/transfer_context.h"
#include "export/article_transfer.h"
#include "selectline/selectline_application.h"
#include "selectline/standin/standin_selectline.h"
#include "settings/settings.h"
#include "shop/curl/curl_ftp_control.h"
#include "tests/export/export_fixture.h"
#include "tests/support/ftp_test_server.h"
#include "tests/support/sqlite_file.h"
#include "tests/support/temp_folder.h"

namespace warenkai::test {
namespace {

using Lines = std::vector<std::string>;

const std::string kImportFolder = "/shop/login/admin/sonstiges/import/import/";
const std::string kPage = "https://shop.example.de/login/admin/sonstiges/import/import2.php?Autowert=";

// A stand-in database with a few articles of our own instead of the demo company's.
void FillDatabase(const std::filesystem::path& database) {
    MakeStandinSelectline(database)();  // creates the tables
    RunSql(database, R"(
        DELETE FROM "AR"; DELETE FROM "AG"; DELETE FROM "TE"; DELETE FROM "AP"; DELETE FROM "UD";
        INSERT INTO "AG" ("Nummer", "Bezeichnung", "Parent") VALUES
            ('1', 'Technik', ''), ('10', 'Zubehör', '1'), ('20', '19" Schränke', '');
        INSERT INTO "AR" ("Artikelnummer", "Bezeichnung", "Artikelgruppe", "SSVerkauf", "ShopAktiv", "Listenpreis")
        VALUES ('4711', 'Kabel ''rot''', '10', 1, 1, 4.5),
               ('4712', 'Stecker', '1', 2, 1, NULL),
               ('4713', 'ohne Gruppe', '', 1, 1, NULL),
               ('4714', 'Schrank', '20', NULL, 0, NULL);
        INSERT INTO "TE" ("Schluessel", "TEXT") VALUES ('AR4711', 'Zeile 1' || char(13, 10) || 'Zeile 2');
        INSERT INTO "AP" ("Artikelnummer", "Preisart", "Preisnummer", "Preis", "VonDatum", "BisDatum") VALUES
            ('4711', 'G', '1', 12.5, '2025-03-01', NULL),
            ('4711', 'A', '', 9.99, '2025-06-01', '2025-06-30');
        INSERT INTO "UD" ("Steuercode", "GueltigAb", "Steuer") VALUES
            (1, '2020-07-01', 19), (1, '2007-01-01', 16), (2, '2007-01-01', 7);
    )");
}

const std::string kArticles =
    kArticleHeader +
    Record({"4711",
            "Kabel \xB4rot\xB4",
            "Zeile 1 Zeile 2",
            "",
            "",
            "12.5",
            "4.5",
            "0",
            "",
            "",
            "9.99",
            "0",
            "2025-06-01",
            "2025-06-30",
            "Technik",
            "Zubeh\xF6r",
            "",
            "19",
            "",
            "",
            "",
            "Ab Lager",
            "",
            "",
            "0",
            "0",
            "0",
            "0",
            "2025-03-01",
            "",
            "Ja",
            ""}) +
    Record({"4712", "Stecker", "", "", "", "0",        "0", "0", "",  "",  "0", "0", "", "", "Technik", "",
            "",     "7",       "", "", "", "Ab Lager", "",  "",  "0", "0", "0", "0", "", "", "",        ""}) +
    Record({"4714", "Schrank", "",   "", "", "0", "0",        "0", "", "",  "0", "0", "",  "", "19\xB4 Schr\xE4nke",
            "",     "",        "16", "", "", "",  "Ab Lager", "",  "", "0", "0", "0", "0", "", "",
            "",     ""});

const std::string kGroups =
    "\"obergruppe\",\"untergruppe\"\r\n\"Technik\",\"Zubeh\xF6r\"\r\n\"Technik\",\"\"\r\n\"19\xB4 "
    "Schr\xE4nke\",\"\"\r\n";

class ArticleTransferEndToEnd : public ::testing::Test, protected WindowFakes {
protected:
    void SetUp() override {
        FillDatabase(databaseFile);
        settings.shopRoot = "/shop";
        settings.shopLink = "https://shop.example.de";
        const std::map<std::string, std::pair<std::string, std::string>> fields = {
            // field and default value
            {"artikelnummer", {"Artikelnummer", ""}},
            {"bezeichnung", {"Bezeichnung", ""}},
            {"beschreibung", {"Langtext", ""}},
            {"vk_netto", {"Preis1", "0"}},
            {"vk_brutto", {"Listenpreis", "0"}},
            {"angebot_vk_netto", {"Aktionspreis", "0"}},
            {"angebot_von", {"Aktionspreis ab", ""}},
            {"angebot_bis", {"Aktionspreis bis", ""}},
            {"obergruppe", {"Artikelgruppe Parent", ""}},
            {"untergruppe", {"Artikelgruppe", ""}},
            {"mwstsatz", {"MwSt-Satz", "16"}},
            {"angebot_von_handler", {"Preis1 ab", ""}}};
        for (auto& row : settings.mapping) {
            if (const auto found = fields.find(row.shopColumn); found != fields.end()) {
                std::tie(row.selectlineField, row.defaultValue) = found->second;
            }
        }
    }

    TransferOutcome Run(FtpControl& ftp) {
        TransferContext context{status, dialogs, web, ftp, MakeStandinSelectline(databaseFile), folder.path(), cancel};
        return RunArticleTransfer(settings, context);
    }

    TransferOutcome RunWithServer() {
        CurlFtpOptions options;
        options.connectTimeout = std::chrono::seconds(5);
        options.stallTimeout = std::chrono::seconds(2);
        options.responseTimeout = std::chrono::seconds(2);
        const auto ftp = MakeCurlFtpControlWith(options);
        return Run(*ftp);
    }

    void UseServer() {
        ASSERT_TRUE(server.Running()) << server.StartError();
        settings.ftpServer = server.Address();
        settings.ftpUser = FtpTestServer::kUser;
        settings.ftpPassword = FtpTestServer::kPassword;
    }

    // The user-visible journal: statuses, error lines, message boxes and pages.
    Lines Seen() const { return journal.Without({"pause", "ftp"}); }
    // From the first status of the upload on.
    Lines SeenFromUpload() const {
        const Lines seen = Seen();
        return Lines(std::find(seen.begin(), seen.end(), "status: Verbinde mit Webserver"), seen.end());
    }

    TempFolder folder;
    std::filesystem::path databaseFile = folder / "Selectline.sqlite";
    Settings settings;
    FtpTestServer server;
};

TEST_F(ArticleTransferEndToEnd, FilesReachTheFtpServer) {
    UseServer();
    server.MakeFolder(kImportFolder);
    EXPECT_EQ(RunWithServer(), TransferOutcome::Completed);
    EXPECT_TRUE(status.errors.empty()) << ::testing::PrintToString(status.errors) << server.Diagnostics();
    EXPECT_EQ(server.ReadFile(kImportFolder + "artikelstamm1.csv"), kArticles);
    EXPECT_EQ(server.ReadFile(kImportFolder + "artikelgruppe.csv"), kGroups);
    EXPECT_EQ(folder.Read("artikelstamm1.csv"), kArticles);
    EXPECT_EQ(SeenFromUpload(),
              (Lines{"status: Verbinde mit Webserver", "status: Verbindung erfolgreich",
                     "status: Übertrage den Artikelstamm1", "status: Artikelstamm erfolgreich übertragen",
                     "status: Übertrage den Artikelgruppen", "status: Artikelgruppen erfolgreich übertragen",
                     "status: Dateien in den Webshop einlesen", "message: Bitte schließen Sie alle Webbrowser",
                     "status: Lese den die Datei Artikelstamm1 in den Webshop ein",
                     "open: " + kPage + "artikelstamm1.csv&Tabelle=artikel",
                     "message: Klicken Sie auf OK wenn die Datei fertig importiert worden ist",
                     "open: " + kPage + "artikelgruppe.csv&Tabelle=gruppen", "message: Fertig", "status: Fertig"}));
}

TEST_F(ArticleTransferEndToEnd, ServerThatRefusesTheFilesGetsNoImportPage) {
    UseServer();
    server.MakeFolder(kImportFolder);
    settings.ftpUser = FtpTestServer::kReadOnlyUser;
    settings.ftpPassword = FtpTestServer::kReadOnlyPassword;
    EXPECT_EQ(RunWithServer(), TransferOutcome::Completed);
    EXPECT_EQ(status.errors, (Lines{"Fehler: Artikelstamm1", "Fehler: Artikelgruppen"}));
    // The server's refusal of the STOR travels with each line.
    EXPECT_NE(status.causes[0].find("550"), std::string::npos) << status.causes[0];
    EXPECT_FALSE(server.Exists(kImportFolder + "artikelstamm1.csv"));
    EXPECT_TRUE(web.opened.empty());
    EXPECT_EQ(status.statusText, "Fertig");
}

}  // namespace
}  // namespace warenkai::test
