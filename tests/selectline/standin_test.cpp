// The SQLite stand-in of Selectline's automation server: its tables, documents and database file,
// with the rules and errors the transfers meet. Whole transfers over the demo company (articles read,
// customers and orders entered, the address walk among them) are tested end to end in tests/cli.
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <tuple>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "selectline/selectline_application.h"
#include "selectline/standin/standin_selectline.h"
#include "tests/support/sqlite_file.h"
#include "tests/support/temp_folder.h"

namespace warenkai::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// The text of the server error that `call` throws, "(kein Fehler)" when it throws none.
std::string ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const SelectlineError& error) {
        return error.what();
    }
    return "(kein Fehler)";
}

// Puts the values into the current record of `table`, a new one with `insert`, and posts it.
void Store(SelectlineTable& table, std::initializer_list<std::pair<const char*, std::string>> fields,
           bool insert = true) {
    if (insert) {
        table.Insert();
    }
    for (const auto& [field, value] : fields) {
        table.PutField(field, value);
    }
    table.Post();
}

class Standin : public ::testing::Test {
protected:
    std::unique_ptr<SelectlineApplication> Open() {
        return MakeStandinSelectline(database, {std::chrono::milliseconds(50)})();
    }
    // The first column of the rows of `sql` on the database file, joined by "|".
    std::string Query(const std::string& sql) const {
        std::string joined;
        for (const auto& value : QueryColumn(database, sql)) {
            joined += (joined.empty() ? "" : "|") + value;
        }
        return joined;
    }
    static std::string Quoted(const fs::path& file) { return "\"" + file.string() + "\""; }

    TempFolder folder;
    fs::path database = folder / kStandinDatabaseFileName;
};

// An operator-made database: the file exists, so no demo company is added.
class StandinTables : public Standin {
protected:
    void SetUp() override {
        RunSql(database, R"(CREATE TABLE AR (Artikelnummer TEXT, Bezeichnung TEXT, Gewicht REAL, SSVerkauf INTEGER,
                                             FreiesDatum1 DATE, ShopAktiv BOOLEAN, Listenpreis REAL);
            INSERT INTO AR (rowid, Artikelnummer, Bezeichnung, Gewicht, SSVerkauf, FreiesDatum1, ShopAktiv, Listenpreis)
                VALUES (10, '4711', 'Spaten', 19.9, 1, '2025-03-01', 1, 49.9), (20, '4712', 'Harke', 100, 2,
                        '1965-04-01', 0, NULL), (5, '4710', 'Schlauch', NULL, NULL, '2040-12-31', NULL, 12);
            CREATE TABLE AP (Artikelnummer TEXT, Preisart TEXT, Preisnummer TEXT, Preis REAL);
            INSERT INTO AP VALUES ('4711', 'G', '2', 15), ('4711', 'G', '1', 19.9), ('4711', 'A', NULL, 17.5),
                                  ('4711', 'A', NULL, 16);
            CREATE TABLE KU (Nummer TEXT, Name TEXT, RefAdresse TEXT);
            INSERT INTO KU VALUES ('10023', 'Müller', NULL), ('10023', 'Doppelt', NULL);
            CREATE TABLE UD (Steuercode INTEGER); CREATE TABLE AD (Adresstyp TEXT);)");
        application = Open();
    }

    std::unique_ptr<SelectlineApplication> application;
};

TEST_F(StandinTables, WalkInRowidOrderWithValuesOfTheDeclaredType) {
    auto table = application->CreateTable("AR");
    auto writer = application->CreateTable("AR");
    EXPECT_EQ(table->Recordcount(), 3);
    Lines walked;
    for (int i = 0; i < 4; ++i, table->Next()) {  // from the first record, where a table opens
        walked.push_back(table->GetField("Artikelnummer").ToText());
        Store(*writer, {{"Artikelnummer", "neu" + std::to_string(i)}});  // appended meanwhile: seen after the rest
    }
    EXPECT_EQ(walked, (Lines{"4710", "4711", "4712", "neu0"}));
    const std::tuple<const char*, const char*, Variant> values[] = {
        {"4711", "Bezeichnung", Variant("Spaten")}, {"4711", "Gewicht", Variant(19.9)},
        {"4711", "SSVerkauf", Variant(1)}, {"4711", "FreiesDatum1", Variant(Date{2025, 3, 1})},
        {"4711", "ShopAktiv", Variant(true)}, {"4712", "Gewicht", Variant(100.0)},
        {"4712", "ShopAktiv", Variant(false)}, {"4712", "FreiesDatum1", Variant(Date{1965, 4, 1})},
        {"4710", "Gewicht", Variant()}, {"4710", "ShopAktiv", Variant()},
        {"4710", "FreiesDatum1", Variant(Date{2040, 12, 31})}};
    for (const auto& [key, field, value] : values) {
        ASSERT_TRUE(table->FindKey(key));
        EXPECT_EQ(table->GetField(field), value) << key << " " << field;
    }
    EXPECT_EQ(application->Listenpreis("4711"), Variant(49.9));
    EXPECT_EQ(application->Listenpreis("4710"), Variant(12.0));
    EXPECT_TRUE(application->Listenpreis("4712").IsEmpty() && application->Listenpreis("0000").IsEmpty());
}

TEST_F(StandinTables, KeyLookUpsCompareExactlyAndMakeTheFirstMatchCurrent) {
    auto table = application->CreateTable("AR");
    EXPECT_TRUE(table->FindKey("4712"));
    EXPECT_FALSE(table->FindKey("9999") || table->FindKey("4712 ") || table->FindKey(""));
    EXPECT_EQ(table->GetField("Bezeichnung"), Variant("Harke"));  // a miss leaves the current record
    table->Next();                                                  // the walk goes on from the found one
    table->Next();                                                  // and stays after the end
    EXPECT_EQ(ErrorOf([&] { table->GetField("Artikelnummer"); }),
              "Die Tabelle AR hat keinen aktuellen Datensatz (sie ist leer oder am Ende angekommen).");
    table->First();
    EXPECT_EQ(table->GetField("Artikelnummer"), Variant("4710"));
    auto customers = application->CreateTable("KU");
    auto prices = application->CreateTable("AP");
    EXPECT_TRUE(customers->FindKey("10023") && prices->FindKey2("4711", "A"));
    EXPECT_EQ(customers->GetField("Name").ToText() + " " + prices->GetField("Preis").ToText(), "Müller 17,5");
    EXPECT_TRUE(prices->FindKey3("4711", "G", "1"));
    EXPECT_EQ(prices->GetField("Preis"), Variant(19.9));
    EXPECT_TRUE(prices->FindKey("4711"));
    EXPECT_EQ(prices->GetField("Preis"), Variant(15.0));
    EXPECT_FALSE(prices->FindKey3("4711", "G", "3") || prices->FindKey3("4711", "g", "1"));
}

// Insert and Post append a record that becomes current; Post alone stores the current one, also one
// whose key an operator gave another record too. Text is stored as the column's type; empty text is
// NULL, except in a TEXT column. Changes not posted before moving away are dropped.
TEST_F(StandinTables, WritingStoresTextAsTheColumnsType) {
    auto table = application->CreateTable("AR");
    table->Insert();
    EXPECT_TRUE(table->GetField("Bezeichnung").IsEmpty());
    table->PutField("FreiesDatum1", "1.3.1960");
    EXPECT_EQ(table->GetField("FreiesDatum1"), Variant(Date{1960, 3, 1}));
    EXPECT_EQ(Query("SELECT count(*) FROM AR"), "3");
    Store(*table, {{"Artikelnummer", "4799"}, {"Gewicht", "1.234,5"}, {"SSVerkauf", " 2 "}, {"ShopAktiv", "Wahr"},
                   {"Bezeichnung", ""}}, false);
    EXPECT_EQ(table->GetField("Artikelnummer"), Variant("4799"));
    ASSERT_TRUE(table->FindKey("4711"));
    Store(*table, {{"Gewicht", ""}, {"FreiesDatum1", "2039-02-28"}, {"ShopAktiv", "Falsch"}, {"Listenpreis", "19.9"}},
          false);
    table->PutField("Bezeichnung", "verworfen");
    table->Next();
    table->Insert();
    table->PutField("Artikelnummer", "4798");
    table->First();
    table->Post();
    EXPECT_EQ(Query("SELECT quote(Artikelnummer) || ' ' || quote(Bezeichnung) || ' ' || quote(Gewicht) || ' ' || "
                    "quote(SSVerkauf) || ' ' || quote(FreiesDatum1) || ' ' || quote(ShopAktiv) || ' ' || "
                    "quote(Listenpreis) FROM AR ORDER BY rowid"),
              "'4710' 'Schlauch' NULL NULL '2040-12-31' NULL 12.0|'4711' 'Spaten' NULL 1 '2039-02-28' 0 19.9|"
              "'4712' 'Harke' 100.0 2 '1965-04-01' 0 NULL|'4799' '' 1234.5 2 '1960-03-01' 1 NULL");
    auto customers = application->CreateTable("KU");
    ASSERT_TRUE(customers->FindKey("10023"));
    Store(*customers, {{"RefAdresse", "R10023"}}, false);
    EXPECT_EQ(Query("SELECT quote(RefAdresse) FROM KU"), "'R10023'|NULL");
}

// Look-ups the table has no key for, unknown fields, text that does not fit the column and keys that
// would be duplicated are server errors naming table, field and value.
TEST_F(StandinTables, MisuseIsAServerErrorWithItsText) {
    auto table = application->CreateTable("AR");
    auto prices = application->CreateTable("AP");
    const std::string fits = "passt nicht in das Feld ";
    const std::string present = " schon vorhanden; der Datensatz wurde nicht gespeichert.";
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[&] { application->CreateTable("UD")->FindKey("1"); }, "Die Tabelle UD hat keinen Schlüssel zum Suchen."},
        {[&] { table->FindKey2("4711", "G"); }, "Der Schlüssel der Tabelle AR hat nur 1 Teil."},
        {[&] { table->GetField("Preis1"); }, "Das Feld Preis1 gibt es in der Tabelle AR nicht."},
        {[&] { table->PutField("artikelnummer", "1"); }, "Das Feld artikelnummer gibt es in der Tabelle AR nicht."},
        {[&] { table->PutField("Gewicht", "schwer"); },
         "Der Wert \"schwer\" " + fits + "Gewicht der Tabelle AR: erwartet wird eine Zahl."},
        {[&] { table->PutField("FreiesDatum1", "31.02.2025"); },
         "Der Wert \"31.02.2025\" " + fits + "FreiesDatum1 der Tabelle AR: erwartet wird ein Datum (TT.MM.JJJJ)."},
        {[&] { table->PutField("SSVerkauf", "1,5"); },
         "Der Wert \"1,5\" " + fits + "SSVerkauf der Tabelle AR: erwartet wird eine ganze Zahl."},
        {[&] { table->PutField("ShopAktiv", "vielleicht"); },
         "Der Wert \"vielleicht\" " + fits +
             "ShopAktiv der Tabelle AR: erwartet wird ein Wahrheitswert (Wahr/Falsch)."},
        {[&] { Store(*table, {{"Artikelnummer", "4711"}}); },
         "Der Schlüssel Artikelnummer \"4711\" ist in der Tabelle AR" + present},
        {[&] { Store(*prices, {{"Artikelnummer", "4711"}, {"Preisart", "G"}, {"Preisnummer", "1"}}); },
         "Der Schlüssel Artikelnummer \"4711\", Preisart \"G\", Preisnummer \"1\" ist in der Tabelle AP" + present},
        {[&] { application->CreateTable("AD")->GetField("Adresstyp"); },
         "Die Tabelle AD hat keinen aktuellen Datensatz (sie ist leer oder am Ende angekommen)."},
        {[&] { application->CreateTable("ar"); },
         "Unbekannte Tabelle \"ar\": Selectline kennt die Tabellen AR, AG, TE, AP, UD, KU und AD."}};
    for (const auto& [call, expected] : cases) {
        EXPECT_EQ(ErrorOf(call), expected);
    }
    EXPECT_EQ(Query("SELECT count(*) FROM AR UNION ALL SELECT count(*) FROM AP"), "3|4");
}

// A document is stored with its saved positions only, when it is saved; a second Save rewrites it. A
// value never set stays NULL. Unknown customers, articles and fields are server errors, after which
// the order import goes on with the remaining calls.
TEST_F(StandinTables, DocumentsAreStoredWithTheirSavedPositions) {
    auto document = application->NeuerBelegAuto("B", "");
    EXPECT_EQ(ErrorOf([&] { document->SetAdresse("99999"); }),
              "Der Kunde \"99999\" ist in Selectline nicht vorhanden.");
    EXPECT_EQ(ErrorOf([&] { document->PutField("Lieferdatum", "x"); }), "Das Feld Lieferdatum gibt es im Beleg nicht.");
    auto line = document->CreatePos("A");
    line->SetArtikel("4711");
    line->Save(1);
    line->SetEingabeMenge(2.0);
    line->Save(1);  // the same position again: replaced, not added
    document->CreatePos("A")->SetArtikel("4712");  // never saved
    auto unknown = document->CreatePos("A");
    EXPECT_EQ(ErrorOf([&] { unknown->SetArtikel("0815"); }), "Der Artikel \"0815\" ist in Selectline nicht vorhanden.");
    unknown->SetBezeichnung("Versandkosten");
    unknown->Save(1);
    EXPECT_EQ(Query("SELECT count(*) FROM BELEG"), "0");
    document->Save();
    document->SetAdresse("10023");
    document->Save();
    application->NeuerBelegAuto("B", "")->Save();
    EXPECT_EQ(Query("SELECT Belegnummer || Belegart || ' ' || quote(Adresse) || ' ' || quote(FreierText1) FROM BELEG"),
              "1B '10023' NULL|2B NULL NULL");
    EXPECT_EQ(Query("SELECT Belegnummer || Position || Positionsart || ' ' || quote(Menge) || ' ' || "
                    "quote(Artikelnummer) || ' ' || quote(Einzelpreis) || ' ' || quote(Bezeichnung) FROM BELEGPOS"),
              "11A 2.0 '4711' NULL NULL|12A NULL NULL NULL 'Versandkosten'");
}

// --- the database file ----------------------------------------------------------------------------

// The demo company is created on first use, without a temporary file left behind (not even one an
// interrupted first start left); an existing database, also an operator's own, is never replaced or
// filled up.
TEST_F(Standin, TheDemoCompanyIsCreatedOnFirstUseOnly) {
    std::ofstream(folder / "Selectline.sqlite.neu-4242-1") << "halb";
    EXPECT_EQ(Open()->CreateTable("AR")->Recordcount(), 60);
    fs::remove(folder / "Selectline.sqlite.neu-4242-1");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), {}), 1);
    for (const char* sql :
         {"SELECT count(*) FROM AR JOIN AG g ON g.Nummer = Artikelgruppe JOIN AG p ON p.Nummer = g.Parent",
          "SELECT count(*) FROM AR WHERE Artikelgruppe IS NULL OR ShopAktiv = 0 OR FreiesDatum1 < '1970'",
          "SELECT count(*) FROM TE WHERE TEXT LIKE '%' || char(13, 10) || '%'",
          "SELECT count(*) FROM AP JOIN UD JOIN KU JOIN AD WHERE Preisart = 'A' AND BisDatum > '2038'"}) {
        EXPECT_NE(Query(sql), "0") << sql;
    }
    RunSql(database, "DELETE FROM AR WHERE Artikelnummer <> '10001'");
    EXPECT_EQ(Open()->CreateTable("AR")->Recordcount(), 1);
    fs::remove(database);
    RunSql(database, "CREATE TABLE AR (Artikelnummer TEXT)");
    auto own = Open();
    EXPECT_EQ(own->CreateTable("AR")->Recordcount(), 0);
    EXPECT_EQ(ErrorOf([&] { own->CreateTable("KU"); }),
              "Die Tabelle KU fehlt in der Selectline-Datenbank " + Quoted(database) + ".");
}

TEST_F(Standin, AFileThatCannotServeIsAServerErrorAndIsLeftAsItWas) {
    const fs::path missing = folder / "fehlt" / kStandinDatabaseFileName, noDatabase = folder / "keine.sqlite",
                   damaged = folder / "kaputt.sqlite";
    std::ofstream(noDatabase, std::ios::binary) << std::string(4096, 'x');
    RunSql(damaged, "CREATE TABLE AR (Artikelnummer TEXT); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                    "FROM n WHERE i < 2000) INSERT INTO AR SELECT printf('%.200c', 'x') FROM n;");
    // Every page after the first (the schema) overwritten.
    std::fstream(damaged, std::ios::in | std::ios::out | std::ios::binary).seekp(4096)
        << std::string(fs::file_size(damaged) - 4096, '\xff');
    const auto errorOf = [this](const fs::path& file) {
        database = file;
        return ErrorOf([&] { Open()->CreateTable("AR")->Recordcount(); });
    };
    const std::string base = "Die Selectline-Datenbank ";
    EXPECT_THAT(errorOf(missing), ::testing::StartsWith(base + Quoted(missing) + " kann nicht angelegt werden. "));
    EXPECT_FALSE(fs::exists(missing.parent_path()));
    EXPECT_EQ(errorOf(noDatabase),
              "Die Datei " + Quoted(noDatabase) + " ist keine Selectline-Datenbank (beim Öffnen).");
    EXPECT_EQ(fs::file_size(noDatabase), 4096u);
    EXPECT_THAT(errorOf(damaged), ::testing::StartsWith(base + Quoted(damaged) + " ist beschädigt (beim "));
}

// Opening fails while another program keeps the file to itself. Reading goes on while it writes;
// storing waits, then reports the lock and keeps the change for the next Post.
TEST_F(Standin, ADatabaseThatAnotherProgramHoldsIsAServerError) {
    Open();
    const std::string locked = "Die Selectline-Datenbank " + Quoted(database) +
                               " ist gesperrt, ein anderes Programm arbeitet gerade mit ihr (beim ";
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(database.string().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(ErrorOf([&] { Open(); }), locked + "Öffnen).");
    sqlite3_close(other);
    auto application = Open();
    auto customers = application->CreateTable("KU");
    ASSERT_EQ(sqlite3_open(database.string().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(customers->GetField("Nummer"), Variant("10001"));
    customers->PutField("Name", "Neu");
    EXPECT_EQ(ErrorOf([&] { customers->Post(); }), locked + "Speichern in der Tabelle KU).");
    sqlite3_close(other);
    customers->Post();
    EXPECT_EQ(Query("SELECT Name FROM KU WHERE Nummer = '10001'"), "Neu");
}

}  // namespace
}  // namespace warenkai::test
