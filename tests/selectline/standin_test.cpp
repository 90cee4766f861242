// The SQLite stand-in of Selectline's automation server (docs/selectline-standin.md): its tables,
// documents and database file, with the rules and errors the transfers meet. Whole transfers over the
// demo company run end to end in tests/cli (its article files against fixed expected files, which pins
// the demo company's data as well, and a read-only database) and tests/import (customers and orders
// entered).
#include <sqlite3.h>

#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/text_file.h"
#include "selectline/selectline_application.h"
#include "selectline/standin/standin_selectline.h"
#include "tests/support/sqlite_file.h"
#include "tests/support/temp_folder.h"

namespace warenkai::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// The text of the server error that `call` throws, "(kein Fehler)" when it throws none.
std::string ErrorOf(const std::function<void()>& call) try {
    call();
    return "(kein Fehler)";
} catch (const SelectlineError& error) {
    return error.what();
}

const std::string kNoRecord = "Die Tabelle AR hat keinen aktuellen Datensatz (sie ist leer oder am Ende angekommen).";

// A value as its kind and text: "t Spaten", "i 1", "r 19,9", "d 01.03.2025", "b Wahr", "-" when empty.
std::string Shown(const Variant& value) {
    return value.IsEmpty() ? "-" : "-tirdb"[value.value().index()] + (" " + value.ToText());
}

class Standin : public ::testing::Test {
protected:
    std::unique_ptr<SelectlineApplication> Open() {
        return MakeStandinSelectline(database, {std::chrono::milliseconds(50)})();
    }
    Lines Query(const std::string& sql) const { return QueryColumn(database, sql); }
    static std::string Quoted(const fs::path& file) { return "\"" + file.string() + "\""; }

    TempFolder folder;
    fs::path database = folder / kStandinDatabaseFileName;
};

// The operator's own database of tests/data/selectline/tables.sql; the file exists, so no demo company
// is added.
class StandinTables : public Standin {
protected:
    void SetUp() override {
        RunSql(database, ReadWholeFile(fs::path(WARENKAI_TEST_DATA) / "selectline/tables.sql").value_or("kaputt"));
        application = Open();
    }

    // Makes the call of each step on the table `code` (with "#2" after it for a second object of the
    // table), "Member argument|argument", and compares its answer with the text after " -> " (none
    // when it answers nothing): a value as Shown gives it, a look-up 1 or 0, a count, a server error's
    // text. "App" makes the call on the application.
    void Expect(const std::string& code, const Lines& steps) {
        auto& table = tables[code];
        if (!table && code != "App") {
            table = application->CreateTable(code.substr(0, 2));
        }
        for (const std::string& step : steps) {
            const std::string call = step.substr(0, step.find(" -> "));
            std::istringstream words(call);
            std::string member, a[3], answer;
            std::getline(std::getline(std::getline(std::getline(words, member, ' '), a[0], '|'), a[1], '|'), a[2]);
            try {
                answer = member == "GetField"      ? Shown(table->GetField(a[0]))
                         : member == "FindKey"     ? std::to_string(table->FindKey(a[0]))
                         : member == "FindKey2"    ? std::to_string(table->FindKey2(a[0], a[1]))
                         : member == "FindKey3"    ? std::to_string(table->FindKey3(a[0], a[1], a[2]))
                         : member == "Recordcount" ? std::to_string(table->Recordcount())
                         : member == "PutField"    ? (table->PutField(a[0], a[1]), "")
                         : member == "Insert"      ? (table->Insert(), "")
                         : member == "Post"        ? (table->Post(), "")
                         : member == "Next"        ? (table->Next(), "")
                         : member == "First"       ? (table->First(), "")
                         : member == "Listenpreis" ? Shown(application->Listenpreis(a[0]))
                         : member == "CreateTable" ? (application->CreateTable(a[0]), "")
                                                   : "(unbekannter Aufruf)";
            } catch (const SelectlineError& error) {
                answer = error.what();
            }
            EXPECT_EQ(call + (answer.empty() ? "" : " -> " + answer), step) << code;
        }
    }

    std::unique_ptr<SelectlineApplication> application;
    std::map<std::string, std::unique_ptr<SelectlineTable>> tables;
};

// From the first record, where a table opens, in rowid order, also over a record appended meanwhile,
// to after the end, where it stays; values come as the column's declared type.
TEST_F(StandinTables, WalkInRowidOrderWithValuesOfTheDeclaredType) {
    Expect("AR", {"GetField Artikelnummer -> t 4710", "GetField Gewicht -> -", "GetField SSVerkauf -> -",
                  "GetField ShopAktiv -> -", "GetField FreiesDatum1 -> d 31.12.2040"});
    Expect("AR#2", {"Insert", "PutField Artikelnummer|neu", "Post", "Recordcount -> 4"});
    Expect("AR", {"Next", "GetField Bezeichnung -> t Spaten", "GetField Gewicht -> r 19,9", "GetField SSVerkauf -> i 1",
                  "GetField FreiesDatum1 -> d 01.03.2025", "GetField ShopAktiv -> b Wahr"});
    Expect("AR", {"Next", "GetField Gewicht -> r 100", "GetField ShopAktiv -> b Falsch",
                  "GetField FreiesDatum1 -> d 01.04.1965", "Next", "GetField Artikelnummer -> t neu", "Next", "Next"});
    Expect("AR", {"GetField Artikelnummer -> " + kNoRecord, "First", "GetField Artikelnummer -> t 4710"});
    Expect("App", {"Listenpreis 4711 -> r 49,9", "Listenpreis 4710 -> r 12", "Listenpreis 4712 -> -",
                   "Listenpreis 0000 -> -"});
}

// Keys compare exactly (case and blanks count); the first match becomes the current record and the
// walk goes on from it, a miss leaves the current record.
TEST_F(StandinTables, KeyLookUpsCompareExactlyAndMakeTheFirstMatchCurrent) {
    Expect("AR", {"FindKey 4711 -> 1", "FindKey 9999 -> 0", "FindKey 4711  -> 0", "FindKey  -> 0", "Next",
                  "GetField Artikelnummer -> t 4712"});
    Expect("KU", {"FindKey 10023 -> 1", "GetField Name -> t Müller"});
    Expect("AP", {"FindKey2 4711|A -> 1", "GetField Preis -> r 17,5", "FindKey3 4711|G|1 -> 1",
                  "GetField Preis -> r 19,9", "FindKey 4711 -> 1", "GetField Preis -> r 15"});
    Expect("AP", {"FindKey3 4711|G|3 -> 0", "FindKey3 4711|g|1 -> 0", "GetField Preis -> r 15"});
}

// Insert and Post append a record that becomes current; Post alone stores the current one, also one
// whose key an operator gave another record too. Text is stored as the column's type; empty text is
// NULL, except in a TEXT column. Changes not posted before moving away are dropped.
TEST_F(StandinTables, WritingStoresTextAsTheColumnsType) {
    Expect("AR", {"Insert", "GetField Bezeichnung -> -", "PutField FreiesDatum1|1.3.1960",
                  "GetField FreiesDatum1 -> d 01.03.1960", "Recordcount -> 3"});
    Expect("AR", {"PutField Artikelnummer|4799", "PutField Gewicht|1.234,5", "PutField SSVerkauf| 2 ",
                  "PutField ShopAktiv|Wahr", "PutField Bezeichnung|", "Post", "GetField Artikelnummer -> t 4799"});
    Expect("AR", {"FindKey 4711 -> 1", "PutField Gewicht|", "PutField FreiesDatum1|2039-02-28",
                  "PutField ShopAktiv|Falsch", "PutField Listenpreis|19.9", "Post"});
    Expect("AR",
           {"PutField Bezeichnung|verworfen", "Next", "Post", "Insert", "PutField Artikelnummer|4798", "First", "Post"});
    Expect("KU", {"FindKey 10023 -> 1", "PutField RefAdresse|R10023", "Post"});
    EXPECT_EQ(Query("SELECT quote(Artikelnummer) || ' ' || quote(Bezeichnung) || ' ' || quote(Gewicht) || ' ' || "
                    "quote(SSVerkauf) || ' ' || quote(FreiesDatum1) || ' ' || quote(ShopAktiv) || ' ' || "
                    "quote(Listenpreis) FROM AR ORDER BY rowid"),
              (Lines{"'4710' 'Schlauch' NULL NULL '2040-12-31' NULL 12.0", "'4711' 'Spaten' NULL 1 '2039-02-28' 0 19.9",
                     "'4712' 'Harke' 100.0 2 '1965-04-01' 0 NULL", "'4799' '' 1234.5 2 '1960-03-01' 1 NULL"}));
    EXPECT_EQ(Query("SELECT quote(RefAdresse) FROM KU"), (Lines{"'R10023'", "NULL"}));
}

// Look-ups the table has no key for, unknown fields (case counts), text that does not fit the column
// and keys that would be duplicated are server errors naming table, field and value; nothing is stored.
TEST_F(StandinTables, MisuseIsAServerErrorWithItsText) {
    const auto misfit = [](const std::string& field, const std::string& value, const std::string& kind) {
        return "PutField " + field + "|" + value + " -> Der Wert \"" + value + "\" passt nicht in das Feld " + field +
               " der Tabelle AR: erwartet wird " + kind + ".";
    };
    Expect("AR", {"FindKey2 4711|G -> Der Schlüssel der Tabelle AR hat nur 1 Teil.",
                  "GetField artikelnummer -> Das Feld artikelnummer gibt es in der Tabelle AR nicht."});
    Expect("AR", {misfit("Gewicht", "schwer", "eine Zahl"), misfit("SSVerkauf", "1,5", "eine ganze Zahl"),
                  misfit("FreiesDatum1", "31.02.2025", "ein Datum (TT.MM.JJJJ)"),
                  misfit("ShopAktiv", "vielleicht", "ein Wahrheitswert (Wahr/Falsch)")});
    const std::string present = " schon vorhanden; der Datensatz wurde nicht gespeichert.";
    Expect("AR", {"Insert", "PutField Artikelnummer|4711"});
    Expect("AR", {"Post -> Der Schlüssel Artikelnummer \"4711\" ist in der Tabelle AR" + present});
    Expect("AP", {"Insert", "PutField Artikelnummer|4711", "PutField Preisart|G", "PutField Preisnummer|1"});
    Expect("AP",
           {"Post -> Der Schlüssel Artikelnummer \"4711\", Preisart \"G\", Preisnummer \"1\" ist in der Tabelle AP" +
            present});
    Expect("UD", {"FindKey 1 -> Die Tabelle UD hat keinen Schlüssel zum Suchen."});
    Expect(
        "App",
        {"CreateTable ar -> Unbekannte Tabelle \"ar\": Selectline kennt die Tabellen AR, AG, TE, AP, UD, KU und AD."});
    EXPECT_EQ(Query("SELECT count(*) FROM AR UNION ALL SELECT count(*) FROM AP"), (Lines{"3", "4"}));
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
    line->Save(1);                                 // the same position again: replaced, not added
    document->CreatePos("A")->SetArtikel("4712");  // never saved
    auto unknown = document->CreatePos("A");
    EXPECT_EQ(ErrorOf([&] { unknown->SetArtikel("0815"); }), "Der Artikel \"0815\" ist in Selectline nicht vorhanden.");
    unknown->SetBezeichnung("Versandkosten");
    unknown->Save(1);
    EXPECT_EQ(Query("SELECT count(*) FROM BELEG"), Lines{"0"});
    document->Save();
    document->SetAdresse("10023");
    document->Save();
    application->NeuerBelegAuto("B", "")->Save();
    EXPECT_EQ(Query("SELECT Belegnummer || Belegart || ' ' || quote(Adresse) || ' ' || quote(FreierText1) FROM BELEG"),
              (Lines{"1B '10023' NULL", "2B NULL NULL"}));
    EXPECT_EQ(Query("SELECT Belegnummer || Position || Positionsart || ' ' || quote(Menge) || ' ' || "
                    "quote(Artikelnummer) || ' ' || quote(Einzelpreis) || ' ' || quote(Bezeichnung) FROM BELEGPOS"),
              (Lines{"11A 2.0 '4711' NULL NULL", "12A NULL NULL NULL 'Versandkosten'"}));
}

// Opening fails while another program keeps the file to itself. Reading goes on while it writes;
// storing waits, then reports the lock and keeps the change for the next Post.
TEST_F(StandinTables, ADatabaseThatAnotherProgramHoldsIsAServerError) {
    const std::string locked = "Die Selectline-Datenbank " + Quoted(database) +
                               " ist gesperrt, ein anderes Programm arbeitet gerade mit ihr (beim ";
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(database.string().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(ErrorOf([&] { Open(); }), locked + "Öffnen).");
    sqlite3_close(other);
    ASSERT_EQ(sqlite3_open(database.string().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    Expect("KU",
           {"GetField Name -> t Müller", "PutField Name|Neu", "Post -> " + locked + "Speichern in der Tabelle KU)."});
    sqlite3_close(other);
    Expect("KU", {"Post"});
    EXPECT_EQ(Query("SELECT Name FROM KU"), (Lines{"Neu", "Doppelt"}));
}

// The demo company is built in a temporary file (one that an interrupted first start left is no
// obstacle) and moved into place; an existing database, also an operator's own, is never replaced or
// filled up.
TEST_F(Standin, TheDemoCompanyIsCreatedOnFirstUseOnly) {
    std::ofstream(folder / "Selectline.sqlite.neu-4242-1") << "halb";
    EXPECT_EQ(Open()->CreateTable("AR")->Recordcount(), 60);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), {}), 2);  // the database and the leftover
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
    RunSql(damaged,
           "CREATE TABLE AR (Artikelnummer TEXT); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
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

}  // namespace
}  // namespace warenkai::test
