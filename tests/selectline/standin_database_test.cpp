#include <sqlite3.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "common/transfer_guard.h"
#include "selectline/selectline_session.h"
#include "tests/selectline/standin_fixture.h"
#include "tests/support/fake_transfer_world.h"

namespace warenkai::test {
namespace {

class StandinDatabaseTest : public StandinFixture {
protected:
    std::vector<std::string> FolderContents() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    std::string Quoted() const { return "\"" + database.string() + "\""; }
};

// --- the demo company -------------------------------------------------------------------------------

TEST_F(StandinDatabaseTest, TheDemoCompanyIsCreatedOnFirstUse) {
    ASSERT_FALSE(std::filesystem::exists(database));
    auto application = Open();
    for (const auto& name : FolderContents()) {
        EXPECT_EQ(name.find(".neu"), std::string::npos) << name;  // no temporary file left
    }
    EXPECT_EQ(Query("SELECT count(*) FROM AR"), "60");
    EXPECT_EQ(Query("SELECT count(*) FROM AR WHERE Artikelgruppe IS NULL"), "1");
    EXPECT_EQ(Query("SELECT count(*) FROM AR WHERE ShopAktiv = 0"), "4");
    EXPECT_EQ(Query("SELECT count(*) FROM AG WHERE Parent IS NULL OR Parent = ''"), "5");
    EXPECT_EQ(Query("SELECT count(*) FROM AG WHERE Parent <> ''"), "7");
    EXPECT_EQ(Query("SELECT count(*) FROM TE WHERE TEXT LIKE '%' || char(13, 10) || '%'"), "54");
    EXPECT_EQ(Query("SELECT count(DISTINCT Steuercode) FROM UD"), "2");
    EXPECT_EQ(Query("SELECT count(*) FROM AP WHERE Preisart = 'A'"), "6");
    EXPECT_EQ(Query("SELECT count(*) FROM KU"), "6");
    EXPECT_EQ(Query("SELECT count(*) FROM AD"), "4");
    EXPECT_EQ(Query("SELECT count(*) FROM BELEG"), "0");
    application.reset();  // the write-ahead log is folded in and removed with the last connection
    EXPECT_EQ(FolderContents(), (std::vector<std::string>{"Selectline.sqlite"}));
    for (const char* sql : {"SELECT count(*) FROM AR WHERE Bezeichnung LIKE '%\"%'",
                            "SELECT count(*) FROM AR WHERE Bezeichnung LIKE '%''%'",
                            "SELECT count(*) FROM AR WHERE Bezeichnung LIKE '%ä%' OR Bezeichnung LIKE '%ß%'",
                            "SELECT count(*) FROM TE WHERE TEXT LIKE '%''%'"}) {
        EXPECT_NE(Query(sql), "0") << sql;
    }
}

TEST_F(StandinDatabaseTest, EveryTableOfTheDemoCompanyOpensOnItsFirstRecord) {
    auto application = Open();
    for (const auto& [code, field, first] : std::vector<std::tuple<std::string, std::string, std::string>>{
             {"AR", "Artikelnummer", "10001"}, {"AG", "Nummer", "100"},   {"TE", "Schluessel", "AR10001"},
             {"AP", "Artikelnummer", "10001"}, {"UD", "Steuercode", "1"}, {"KU", "Nummer", "10001"},
             {"AD", "Adresstyp", "LIE70001"}}) {
        EXPECT_EQ(application->CreateTable(code)->GetField(field).ToText(), first) << code;
    }
}

TEST_F(StandinDatabaseTest, TheDemoCompanyGivesEveryTransferSomethingToWorkOn) {
    auto application = Open();
    auto articles = application->CreateTable("AR");
    auto groups = application->CreateTable("AG");
    auto texts = application->CreateTable("TE");
    auto prices = application->CreateTable("AP");
    EXPECT_EQ(articles->GetField("Bezeichnung").ToText(), "Spaten \"Profi\"");
    EXPECT_EQ(articles->GetField("ShopAktiv"), Variant(true));
    EXPECT_EQ(articles->GetField("SSVerkauf"), Variant(1));
    ASSERT_TRUE(groups->FindKey(articles->GetField("Artikelgruppe").ToText()));
    EXPECT_EQ(groups->GetField("Bezeichnung").ToText(), "Gartengeräte");
    ASSERT_TRUE(groups->FindKey(groups->GetField("Parent").ToText()));
    EXPECT_EQ(groups->GetField("Bezeichnung").ToText(), "Garten");
    ASSERT_TRUE(texts->FindKey("AR10001"));
    EXPECT_NE(texts->GetField("TEXT").ToText().find("\r\n"), std::string::npos);
    ASSERT_TRUE(prices->FindKey3("10004", "G", "1"));
    EXPECT_EQ(prices->GetField("Preis").ToText(), "89");
    EXPECT_EQ(prices->GetField("VonDatum").ToText(), "01.01.2024");
    ASSERT_TRUE(prices->FindKey2("10004", "A"));
    EXPECT_EQ(prices->GetField("Preis").ToText(), "75,65");
    EXPECT_EQ(prices->GetField("BisDatum").ToText(), "31.03.2025");
    ASSERT_TRUE(prices->FindKey2("10047", "A"));
    EXPECT_EQ(prices->GetField("BisDatum").ToText(), "31.12.2039");
    ASSERT_TRUE(articles->FindKey("10014"));
    EXPECT_EQ(articles->GetField("FreiesDatum1").ToText(), "01.04.1965");
    EXPECT_FALSE(application->Listenpreis("10001").IsEmpty());
    ASSERT_TRUE(articles->FindKey("10019"));
    EXPECT_EQ(articles->GetField("ShopAktiv"), Variant(false));
}

TEST_F(StandinDatabaseTest, AnExistingDatabaseIsNeverReplacedOrFilledUp) {
    Open();
    Sql("DELETE FROM AR WHERE Artikelnummer <> '10001'");
    auto again = Open();
    EXPECT_EQ(again->CreateTable("AR")->Recordcount(), 1);

    std::filesystem::remove(database);
    Sql("CREATE TABLE AR (Artikelnummer TEXT)");  // an operator's own file
    auto own = Open();
    EXPECT_EQ(own->CreateTable("AR")->Recordcount(), 0);
    EXPECT_EQ(ErrorOf([&] { own->CreateTable("KU"); }),
              "Die Tabelle KU fehlt in der Selectline-Datenbank " + Quoted() + ".");
}

TEST_F(StandinDatabaseTest, ALeftoverFromAnInterruptedFirstStartIsNotUsed) {
    // What an interrupted creation leaves: a temporary file, never the database itself.
    std::ofstream(folder / "Selectline.sqlite.neu-4242-1") << "halb";
    auto application = Open();
    EXPECT_EQ(application->CreateTable("AR")->Recordcount(), 60);
}

TEST_F(StandinDatabaseTest, ADatabaseThatCannotBeCreatedIsAServerErrorAndLeavesNothing) {
    database = folder / "fehlt" / kStandinDatabaseFileName;
    const std::string error = ErrorOf([&] { Open(); });
    EXPECT_EQ(error.rfind("Die Selectline-Datenbank " + Quoted() + " kann nicht angelegt werden. ", 0), 0u) << error;
    EXPECT_FALSE(std::filesystem::exists(folder / "fehlt"));
}

// --- damaged and busy files -------------------------------------------------------------------------

TEST_F(StandinDatabaseTest, AFileThatIsNoDatabaseIsAServerError) {
    std::ofstream(database, std::ios::binary) << std::string(4096, 'x');
    EXPECT_EQ(ErrorOf([&] { Open(); }), "Die Datei " + Quoted() + " ist keine Selectline-Datenbank (beim Öffnen).");
    EXPECT_EQ(std::filesystem::file_size(database), 4096u);  // left as it was
}

TEST_F(StandinDatabaseTest, ADamagedDatabaseIsAServerError) {
    Sql("CREATE TABLE AR (Artikelnummer TEXT, Bezeichnung TEXT);"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
        "INSERT INTO AR SELECT i, printf('%.200c', 'x') FROM n;");
    {
        // Overwrite every page after the first (the schema) with garbage.
        std::fstream file(database, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(4096);
        const auto size = std::filesystem::file_size(database);
        file << std::string(size - 4096, '\xff');
    }
    const std::string error = ErrorOf([&] {
        auto application = Open();
        auto table = application->CreateTable("AR");
        for (int i = 0; i < 3000; ++i) {
            table->Next();
        }
    });
    EXPECT_EQ(error.rfind("Die Selectline-Datenbank " + Quoted() + " ist beschädigt (beim ", 0), 0u) << error;
}

TEST_F(StandinDatabaseTest, ALockedDatabaseIsAServerError) {
    Open();
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(database.string().c_str(), &other), SQLITE_OK);
    // A program that keeps the file to itself.
    ASSERT_EQ(sqlite3_exec(other, "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE", nullptr, nullptr, nullptr),
              SQLITE_OK);
    EXPECT_EQ(ErrorOf([&] { Open(); }),
              "Die Selectline-Datenbank " + Quoted() +
                  " ist gesperrt, ein anderes Programm arbeitet gerade mit ihr (beim Öffnen).");
    sqlite3_close(other);
    ASSERT_EQ(sqlite3_open(database.string().c_str(), &other), SQLITE_OK);

    // Reading works while another program writes; storing waits and then reports the lock.
    auto application = Open();
    auto customers = application->CreateTable("KU");
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(customers->GetField("Nummer").ToText(), "10001");
    customers->PutField("Name", "Neu");
    EXPECT_EQ(ErrorOf([&] { customers->Post(); }),
              "Die Selectline-Datenbank " + Quoted() +
                  " ist gesperrt, ein anderes Programm arbeitet gerade mit ihr (beim Speichern in der Tabelle KU).");
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    customers->Post();  // the change is still there and is stored now
    sqlite3_close(other);
    EXPECT_EQ(Query("SELECT Name FROM KU WHERE Nummer = '10001'"), "Neu");
}

// --- a whole session over the stand-in ----------------------------------------------------------------

TEST_F(StandinDatabaseTest, ATransferOpensItsSessionOnTheStandin) {
    FakeTransferWorld world;
    world.context.selectline = MakeStandinSelectline(database);
    std::string firstArticle;
    EXPECT_EQ(RunTransfer(world.status, world.dialogs,
                          [&] {
                              auto session = OpenSelectlineSession({"AR", "AG", "TE", "AP", "UD"}, world.context);
                              firstArticle = session.Table("AR").GetField("Artikelnummer").ToText();
                          }),
              TransferOutcome::Completed);
    EXPECT_EQ(firstArticle, "10001");
    EXPECT_EQ(world.journal.Without({"message"}), (std::vector<std::string>{"status: Selectline anmelden"}));
}

}  // namespace
}  // namespace warenkai::test
