// Whole transfers from the command line against the demo shop (FTP and its pages) and the
// Selectline stand-in's demo company.

#include <fstream>
#include <map>
#include <sstream>
#include <tuple>

#include <gtest/gtest.h>

#include "tests/cli/demo_shop_process.h"
#include "tests/cli/installed_program.h"
#include "tests/support/sqlite_file.h"

namespace warenkai::test {
namespace {

std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return "<missing " + file.string() + ">";
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class CommandLineWithDemoShop : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(shop.Running()) << shop.StartError();
        settings.ftpServer = shop.FtpServer();
        settings.ftpUser = DemoShopProcess::kUser;
        settings.ftpPassword = DemoShopProcess::kPassword;
        settings.shopRoot = DemoShopProcess::kShopRoot;
        settings.shopLink = shop.ShopLink();
    }

    DemoShopProcess shop;
    InstalledProgram program;
    Settings settings;
};

TEST_F(CommandLineWithDemoShop, ArticlesReachTheShopAndItsImportPageReadsThem) {
    // Texts, prices, offers, groups and tax rates of the demo company, as the shop's importer reads them.
    const std::map<std::string, std::pair<std::string, std::string>> fields = {
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
    program.WriteSettings(settings);

    const auto result = program.Run({"articles"});
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(HasLinesInOrder(
        result.out, {"Verbindung erfolgreich", "Artikelstamm erfolgreich übertragen",
                     "Artikelgruppen erfolgreich übertragen", "Dateien in den Webshop einlesen",
                     "Bitte schließen Sie alle Webbrowser", "Lese den die Datei Artikelstamm1 in den Webshop ein",
                     "Klicken Sie auf OK wenn die Datei fertig importiert worden ist", "Fertig"}));
    EXPECT_TRUE(
        result.out.ends_with("\nFertig\n59 Artikel in 1 Datei, 59 Gruppenzeilen; 2 Dateien übertragen, 0 Fehler\n"))
        << result.out;
    for (const char* name : {"artikelstamm1.csv", "artikelgruppe.csv"}) {
        const std::string local = ReadBytes(program.Folder() / name);
        EXPECT_EQ(local, ReadBytes(std::filesystem::path(WARENKAI_TEST_DATA) / "cli" / name)) << name;
        EXPECT_EQ(ReadBytes(shop.ImportFolder() / name), local) << name;
    }
    EXPECT_EQ(shop.Requests(),
              (std::vector<std::string>{
                  "/shop/login/admin/sonstiges/import/import2.php?Autowert=artikelstamm1.csv&Tabelle=artikel 200",
                  "/shop/login/admin/sonstiges/import/import2.php?Autowert=artikelgruppe.csv&Tabelle=gruppen 200"}));
}

TEST_F(CommandLineWithDemoShop, PicturesReachTheShopsPictureFolder) {
    std::string binary;
    for (int i = 0; i < 256; ++i) {
        binary += static_cast<char>(i);
    }
    program.Files().Write("bilder/10001.jpg", binary);
    program.Files().Write("bilder/Schubkarre groß.png", "PNG");
    settings.pictureFolder = (program.Folder() / "bilder").string();
    program.WriteSettings(settings);

    const auto result = program.Run({"pictures"});
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(HasLinesInOrder(
        result.out,
        {"Verbinde mit Webserver", "Verbindung erfolgreich", "Übertrage die Datei 10001.jpg (1 von 2 Dateien)",
         "Datei erfolgreich übertragen", "Übertrage die Datei Schubkarre groß.png (2 von 2 Dateien)", "Fertig",
         "2 von 2 Bildern übertragen, 0 Fehler"}));
    EXPECT_EQ(ReadBytes(shop.PictureFolder() / "10001.jpg"), binary);
    EXPECT_EQ(ReadBytes(shop.PictureFolder() / "Schubkarre groß.png"), "PNG");
}

TEST_F(CommandLineWithDemoShop, CustomersAndOrdersAreEnteredOnceAndAReadOnlyDatabaseDoesNotBlockTheNextRun) {
    program.WriteSettings(settings);

    const auto result = program.Run({"orders"});
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(HasLinesInOrder(
        result.out, {"Exportiere Dateien vom Webshop", "Klicken Sie auf OK wenn die Datei fertig exportiert worden ist",
                     "Verbindung erfolgreich", "Kundenstamm erfolgreich übertragen",
                     "Bestellungen erfolgreich übertragen", "Kundennummer: 20003", "Fertig"}));
    EXPECT_EQ(shop.Requests(), (std::vector<std::string>{"/shop/login/admin/sonstiges/export/export2.php 200"}));
    EXPECT_EQ(ReadBytes(program.Folder() / "kundenstamm.csv"), ReadBytes(shop.ExportFolder() / "Exportkunde.csv"));
    EXPECT_EQ(ReadBytes(program.Folder() / "bestellungen.csv"),
              ReadBytes(shop.ExportFolder() / "Exportbestellung.csv"));

    EXPECT_TRUE(
        result.out.ends_with("\nFertig\n3 Kunden neu, 1 geändert, 0 Zeilen fehlerhaft; 4 Bestellungen "
                             "eingetragen, 0 bereits eingetragen, 0 fehlerhaft\n"))
        << result.out;

    // A run refused by a read-only database leaves no -wal or -shm file behind; once the database may
    // be written again the next run works, and the orders of the first run are not entered again.
    const auto database = program.Folder() / "Selectline.sqlite";
    namespace fs = std::filesystem;
    fs::permissions(database, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const auto refused = program.Run({"orders"});
    EXPECT_EQ(refused.exitCode, 2) << refused.out << refused.err;
    EXPECT_NE(refused.err.find("ist schreibgeschützt"), std::string::npos) << refused.err;
    EXPECT_FALSE(fs::exists(program.Folder() / "Selectline.sqlite-wal"));
    EXPECT_FALSE(fs::exists(program.Folder() / "Selectline.sqlite-shm"));

    fs::permissions(database, fs::perms::owner_write, fs::perm_options::add);
    const auto again = program.Run({"orders"});
    EXPECT_EQ(again.exitCode, 0) << again.out << again.err;
    EXPECT_TRUE(
        again.out.ends_with("\n0 Kunden neu, 4 geändert, 0 Zeilen fehlerhaft; 0 Bestellungen eingetragen, 4 "
                            "bereits eingetragen, 0 fehlerhaft\n"))
        << again.out;
    EXPECT_EQ(QueryColumn(database, R"(SELECT COUNT(*) FROM "BELEG")"), std::vector<std::string>{"4"});
}

// Ctrl-C during a large import: the customer under way is finished, the run ends with exit status 2,
// and every customer in the database is whole (its customer, reference and address records).
TEST(CommandLineInterrupt, CtrlCDuringALargeImportEndsSoonAndLeavesTheDatabaseWhole) {
    DemoShopProcess shop({.extraCustomers = 30000});
    ASSERT_TRUE(shop.Running()) << shop.StartError();
    InstalledProgram program;
    Settings settings;
    settings.ftpServer = shop.FtpServer();
    settings.ftpUser = DemoShopProcess::kUser;
    settings.ftpPassword = DemoShopProcess::kPassword;
    settings.shopRoot = DemoShopProcess::kShopRoot;
    settings.shopLink = shop.ShopLink();
    program.WriteSettings(settings);

    const auto result = program.Run({"orders"}, std::chrono::seconds(300), "Kundennummer: 50100");
    EXPECT_EQ(result.exitCode, 2) << result.err;
    EXPECT_LT(result.interruptToEnd, std::chrono::seconds(10));
    EXPECT_TRUE(HasLinesInOrder(result.out, {"Die Übertragung wurde abgebrochen"}))
        << result.out.substr(result.out.size() - 500);
    EXPECT_NE(result.err.find("Abgebrochen nach "), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(" von 30.004 Kunden"), std::string::npos) << result.err;

    const auto database = program.Folder() / "Selectline.sqlite";
    EXPECT_EQ(QueryColumn(database, "PRAGMA integrity_check"), std::vector<std::string>{"ok"});
    const auto customers =
        QueryColumn(database, R"(SELECT COUNT(*) FROM "KU" WHERE "Nummer" BETWEEN '50001' AND '80004')");
    const auto references = QueryColumn(database, R"(SELECT COUNT(*) FROM "KU" WHERE "Nummer" LIKE 'R5%')");
    const auto addresses = QueryColumn(database, R"(SELECT COUNT(*) FROM "AD" WHERE "Adresstyp" LIKE 'KUL5%')");
    EXPECT_EQ(customers, references);
    EXPECT_EQ(customers, addresses);
    EXPECT_GE(std::stoi(customers.at(0)), 100);
    EXPECT_LT(std::stoi(customers.at(0)), 30000);
}

// The window shows a refused log-in only in its status line, and an export file that could not be
// opened only in a message box; an unattended run must still not end as if all went well.
TEST_F(CommandLineWithDemoShop, RefusedLogInWithTheShopsPagesReachableIsNoSuccess) {
    settings.ftpPassword = "falsch";
    program.WriteSettings(settings);

    const auto orders = program.Run({"orders"});
    EXPECT_EQ(orders.exitCode, 1) << orders.out << orders.err;
    EXPECT_EQ(orders.err,
              "Fehler: Verbindung konnte nicht aufgebaut werden\n    Access denied: 530 (Antwort des Servers: \"530 "
              "Authentication failed.\")\n");
    EXPECT_TRUE(HasLinesInOrder(
        orders.out, {"Verbindung konnte nicht aufgebaut werden", "Fehler beim öffnen von kundenstamm.csv", "Fertig"}))
        << orders.out;

    settings.mapping[0].selectlineField = "Artikelnummer";
    settings.mapping[14].selectlineField = "Artikelgruppe Parent";
    program.WriteSettings(settings);
    const auto articles = program.Run({"articles"});
    EXPECT_EQ(articles.exitCode, 1) << articles.out << articles.err;
    EXPECT_TRUE(HasLinesInOrder(articles.out, {"Verbindung konnte nicht aufgebaut werden", "Fertig"})) << articles.out;
}

TEST_F(CommandLineWithDemoShop, PictureUploadWithoutAPictureFolderCannotStart) {
    settings.pictureFolder = (program.Folder() / "gibt-es-nicht").string();
    program.WriteSettings(settings);
    const auto result = program.Run({"pictures"});
    EXPECT_EQ(result.exitCode, 2) << result.out << result.err;
    EXPECT_EQ(result.out, "Der Pfad zu den Bildern ist nicht gültig\n0 von 0 Bildern übertragen, 0 Fehler\n");
}

}  // namespace
}  // namespace warenkai::test
