// The command-line program as a user runs it: its own process in its own program folder, against the
// demo shop (real FTP and pages) and the Selectline stand-in's demo company.
#include <numeric>

#include <gtest/gtest.h>

#include "tests/cli/cli_harness.h"
#include "tests/support/silent_port.h"
#include "tests/support/sqlite_file.h"
#include "tests/support/test_data.h"

namespace warenkai::test {
namespace {

namespace fs = std::filesystem;

class CommandLineWithDemoShop : public ::testing::Test {
protected:
    explicit CommandLineWithDemoShop(int extraCustomers = 0) : shop(extraCustomers) {}
    void SetUp() override {
        ASSERT_TRUE(shop.Running()) << shop.startError;
        // The demo shop's log-in and root, and the fields of the demo company's articles.
        LoadSettings(fs::path(WARENKAI_TEST_DATA) / "cli" / "demo_shop.ini", settings);
        settings.ftpServer = shop.FtpServer();
        settings.shopLink = shop.ShopLink();
    }
    ProgramResult Run(const std::string& transfer, const std::string& interruptOn = {}) {
        program.WriteSettings(settings);
        return program.Run({transfer}, interruptOn);
    }
    // A run that ends well: exit status 0, nothing on standard error, the expected output.
    void ExpectSuccess(const std::string& transfer, const std::string& expectedOut) {
        const auto result = Run(transfer);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(result.out, TestData("cli/" + expectedOut));
    }

    DemoShop shop;
    InstalledProgram program;
    Settings settings;
};

TEST_F(CommandLineWithDemoShop, ArticlesReachTheShopAndItsImportPageReadsThem) {
    ExpectSuccess("articles", "articles.out");
    for (const std::string name : {"artikelstamm1.csv", "artikelgruppe.csv"}) {
        EXPECT_EQ(program.files.Read(name), TestData("cli/" + name)) << name;
        EXPECT_EQ(shop.Read("login/admin/sonstiges/import/import/" + name), TestData("cli/" + name)) << name;
    }
    EXPECT_EQ(shop.Requests(),
              "/shop/login/admin/sonstiges/import/import2.php?Autowert=artikelstamm1.csv&Tabelle=artikel 200\n"
              "/shop/login/admin/sonstiges/import/import2.php?Autowert=artikelgruppe.csv&Tabelle=gruppen 200\n");
}

TEST_F(CommandLineWithDemoShop, PicturesReachTheShopsPictureFolder) {
    std::string binary(256, '\0');
    std::iota(binary.begin(), binary.end(), '\0');
    program.files.Write("bilder/10001.jpg", binary);
    program.files.Write("bilder/Schubkarre groß.png", "PNG");
    settings.pictureFolder = program.files / "bilder";
    ExpectSuccess("pictures", "pictures.out");
    EXPECT_EQ(shop.Read("config/bilder_artikel/10001.jpg"), binary);
    EXPECT_EQ(shop.Read("config/bilder_artikel/Schubkarre groß.png"), "PNG");
}

TEST_F(CommandLineWithDemoShop, CustomersAndOrdersAreEnteredOnceAndAReadOnlyDatabaseDoesNotBlockTheNextRun) {
    ExpectSuccess("orders", "orders.out");
    EXPECT_EQ(shop.Requests(), "/shop/login/admin/sonstiges/export/export2.php 200\n");
    EXPECT_EQ(program.files.Read("kundenstamm.csv"), shop.Read("login/admin/sonstiges/export/export/Exportkunde.csv"));
    EXPECT_EQ(program.files.Read("bestellungen.csv"),
              shop.Read("login/admin/sonstiges/export/export/Exportbestellung.csv"));

    // A run refused by a read-only database leaves no -wal or -shm file behind; once the database may
    // be written again the next run works, and the orders of the first run are not entered again.
    const auto database = program.files / "Selectline.sqlite";
    fs::permissions(database, fs::perms::owner_write, fs::perm_options::remove);
    const auto refused = Run("orders");
    EXPECT_EQ(refused.exitCode, 2) << refused.out;
    EXPECT_NE(refused.err.find("ist schreibgeschützt"), std::string::npos) << refused.err;
    EXPECT_FALSE(fs::exists(program.files / "Selectline.sqlite-wal"));
    EXPECT_FALSE(fs::exists(program.files / "Selectline.sqlite-shm"));
    fs::permissions(database, fs::perms::owner_write, fs::perm_options::add);
    ExpectSuccess("orders", "orders_again.out");
    EXPECT_EQ(QueryColumn(database, R"(SELECT COUNT(*) FROM "BELEG")"), std::vector<std::string>{"4"});
}

class CommandLineWithLargeShop : public CommandLineWithDemoShop {
protected:
    CommandLineWithLargeShop() : CommandLineWithDemoShop(30000) {}
};

// Ctrl-C during a large import: the customer under way is finished, the run ends with exit status 2,
// and every customer in the database is whole (its customer, reference and address records).
TEST_F(CommandLineWithLargeShop, CtrlCEndsTheImportSoonAndLeavesTheDatabaseWhole) {
    const auto result = Run("orders", "Kundennummer: 50100");
    EXPECT_EQ(result.exitCode, 2) << result.err;
    EXPECT_LT(result.interruptToEnd, std::chrono::seconds(10));
    EXPECT_NE(result.out.find("\nDie Übertragung wurde abgebrochen\n"), std::string::npos);
    EXPECT_NE(result.err.find("Abgebrochen nach "), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(" von 30.004 Kunden"), std::string::npos) << result.err;

    const auto database = program.files / "Selectline.sqlite";
    EXPECT_EQ(QueryColumn(database, "PRAGMA integrity_check"), std::vector<std::string>{"ok"});
    const auto customers =
        QueryColumn(database, R"(SELECT COUNT(*) FROM "KU" WHERE "Nummer" BETWEEN '50001' AND '80004')");
    EXPECT_EQ(customers, QueryColumn(database, R"(SELECT COUNT(*) FROM "KU" WHERE "Nummer" LIKE 'R5%')"));
    EXPECT_EQ(customers, QueryColumn(database, R"(SELECT COUNT(*) FROM "AD" WHERE "Adresstyp" LIKE 'KUL5%')"));
    EXPECT_GE(std::stoi(customers.at(0)), 100);
    EXPECT_LT(std::stoi(customers.at(0)), 30000);
}

// A shop whose export page does not answer has not exported: the files on its server are an earlier
// run's, so nothing is downloaded or entered. Neither the FTP password nor one in the shop link shows.
TEST(CommandLineProgram, AnUnreachableShopStopsTheOrderRunBeforeTheDownload) {
    InstalledProgram program;
    const std::string address = "127.0.0.1:" + std::to_string(SilentPort().port);  // nobody listens
    Settings settings;
    settings.ftpServer = address;
    settings.ftpPassword = "FtpGeheim";
    settings.shopRoot = "/shop";
    settings.shopLink = "http://admin:LinkGeheim@" + address + "/shop";
    program.WriteSettings(settings);

    const auto result = program.Run({"orders"});
    EXPECT_EQ(result.exitCode, 1) << result.out << result.err;
    EXPECT_EQ((result.out + result.err).find("Geheim"), std::string::npos);
    EXPECT_TRUE(result.err.starts_with("Fehler: Seite http://admin:***@" + address +
                                       "/shop/login/admin/sonstiges/export/export2.php nicht geöffnet\n    Failed to "
                                       "connect to 127.0.0.1 port " +
                                       address.substr(10)))
        << result.err;
    EXPECT_EQ(result.out,
              "Exportiere Dateien vom Webshop\nDie Exportseite des Webshops ist fehlgeschlagen\nNichts eingetragen\n");
}

// Standard output is a pipe whose reader has gone: the messages cannot be written, the run (an upload
// of an empty picture folder, which connects nowhere) ends normally all the same.
TEST(CommandLineProgram, AReaderThatGoesAwayDoesNotEndTheTransfer) {
    InstalledProgram program;
    Settings settings;
    settings.pictureFolder = program.files / "bilder";
    fs::create_directory(settings.pictureFolder);
    program.WriteSettings(settings);
    EXPECT_EQ(program.Run({"pictures"}, {}, true).exitCode, 0);
}

}  // namespace
}  // namespace warenkai::test
