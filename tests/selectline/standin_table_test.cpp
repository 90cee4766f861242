#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tests/selectline/standin_fixture.h"

namespace warenkai::test {
namespace {

// An operator-made database: the file exists, so no demo company is added.
class StandinTableTest : public StandinFixture {
protected:
    void SetUp() override {
        Sql(R"(
            CREATE TABLE AR (Artikelnummer TEXT, Bezeichnung TEXT, Gewicht REAL, SSVerkauf INTEGER,
                             FreiesDatum1 DATE, ShopAktiv BOOLEAN, Listenpreis REAL);
            CREATE INDEX AR_Artikelnummer ON AR (Artikelnummer);
            INSERT INTO AR (rowid, Artikelnummer, Bezeichnung, Gewicht, SSVerkauf, FreiesDatum1, ShopAktiv, Listenpreis)
                VALUES (10, '4711', 'Spaten', 19.9, 1, '2025-03-01', 1, 49.9),
                       (20, '4712', 'Harke', 100, 2, '1965-04-01', 0, NULL),
                       (5,  '4710', 'Schlauch', NULL, NULL, '2040-12-31', NULL, 12);
            CREATE TABLE AP (Artikelnummer TEXT, Preisart TEXT, Preisnummer TEXT, Preis REAL, VonDatum DATE, BisDatum DATE);
            INSERT INTO AP VALUES ('4711', 'G', '2', 15, '2024-01-01', NULL),
                                  ('4711', 'G', '1', 19.9, '2024-02-01', NULL),
                                  ('4711', 'A', NULL, 17.5, '2025-03-01', '2025-03-31'),
                                  ('4711', 'A', NULL, 16, '2025-04-01', '2025-04-30');
            CREATE TABLE UD (Steuercode INTEGER, GueltigAb DATE, Steuer REAL);
            INSERT INTO UD VALUES (1, '2007-01-01', 19);
            CREATE TABLE KU (Nummer TEXT, Name TEXT, RefAdresse TEXT);
            INSERT INTO KU VALUES ('10023', 'Müller', NULL), ('10023', 'Doppelt', NULL);
            CREATE TABLE AD (Adresstyp TEXT, Name TEXT);
            CREATE TABLE AG (Nummer TEXT, Bezeichnung TEXT, Parent TEXT);
            CREATE TABLE TE (Schluessel TEXT, TEXT TEXT);
        )");
        application = Open();
    }

    std::vector<std::string> Walk(SelectlineTable& table, const std::string& field) {
        std::vector<std::string> values;
        const auto count = table.Recordcount();
        table.First();
        for (std::int64_t i = 0; i < count; ++i) {
            values.push_back(table.GetField(field).ToText());
            table.Next();
        }
        return values;
    }

    std::unique_ptr<SelectlineApplication> application;
};

// --- walking ---------------------------------------------------------------------------------------

TEST_F(StandinTableTest, WalksInRowidOrderFromTheFirstRecord) {
    auto table = application->CreateTable("AR");
    EXPECT_EQ(table->Recordcount(), 3);
    EXPECT_EQ(table->GetField("Artikelnummer").ToText(), "4710");  // positioned on the first record
    EXPECT_EQ(Walk(*table, "Artikelnummer"), (std::vector<std::string>{"4710", "4711", "4712"}));
}

TEST_F(StandinTableTest, ValuesFollowTheDeclaredColumnType) {
    auto table = application->CreateTable("AR");
    ASSERT_TRUE(table->FindKey("4711"));
    EXPECT_EQ(table->GetField("Bezeichnung"), Variant("Spaten"));
    EXPECT_EQ(table->GetField("Gewicht"), Variant(19.9));
    EXPECT_EQ(table->GetField("SSVerkauf"), Variant(std::int64_t{1}));
    EXPECT_EQ(table->GetField("FreiesDatum1"), Variant(Date{2025, 3, 1}));
    EXPECT_EQ(table->GetField("ShopAktiv"), Variant(true));
    EXPECT_EQ(table->GetField("Gewicht").ToText(), "19,9");
    EXPECT_EQ(table->GetField("FreiesDatum1").ToText(), "01.03.2025");
    ASSERT_TRUE(table->FindKey("4712"));
    EXPECT_EQ(table->GetField("Gewicht"), Variant(100.0));  // REAL stays a floating number
    EXPECT_EQ(table->GetField("Gewicht").ToText(), "100");
    EXPECT_EQ(table->GetField("ShopAktiv"), Variant(false));
    EXPECT_EQ(table->GetField("FreiesDatum1").ToText(), "01.04.1965");
    ASSERT_TRUE(table->FindKey("4710"));
    EXPECT_TRUE(table->GetField("Gewicht").IsEmpty());
    EXPECT_TRUE(table->GetField("ShopAktiv").IsEmpty());
    EXPECT_EQ(table->GetField("FreiesDatum1").ToText(), "31.12.2040");
}

TEST_F(StandinTableTest, NextAfterTheLastRecordLeavesNoCurrentRecordUntilFirst) {
    auto table = application->CreateTable("AR");
    table->Next();
    table->Next();
    table->Next();
    EXPECT_EQ(ErrorOf([&] { table->GetField("Artikelnummer"); }),
              "Die Tabelle AR hat keinen aktuellen Datensatz (sie ist leer oder am Ende angekommen).");
    table->Next();  // stays after the end
    EXPECT_THROW(table->GetField("Artikelnummer"), SelectlineError);
    table->First();
    EXPECT_EQ(table->GetField("Artikelnummer").ToText(), "4710");
}

TEST_F(StandinTableTest, AnEmptyTableOpensWithoutCurrentRecord) {
    auto table = application->CreateTable("AD");
    EXPECT_EQ(table->Recordcount(), 0);
    EXPECT_THROW(table->GetField("Name"), SelectlineError);
    EXPECT_THROW(table->PutField("Name", "x"), SelectlineError);
    table->Post();  // nothing to store
    EXPECT_EQ(table->Recordcount(), 0);
}

TEST_F(StandinTableTest, WalkStaysCorrectWhileAnotherTableObjectAppendsRows) {
    auto walker = application->CreateTable("AR");
    auto writer = application->CreateTable("AR");
    std::vector<std::string> seen;
    const auto count = walker->Recordcount();
    walker->First();
    for (std::int64_t i = 0; i < count; ++i) {
        seen.push_back(walker->GetField("Artikelnummer").ToText());
        writer->Insert();
        writer->PutField("Artikelnummer", "neu" + std::to_string(i));
        writer->Post();
        walker->Next();
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"4710", "4711", "4712"}));
    // The appended rows follow in table order.
    EXPECT_EQ(walker->GetField("Artikelnummer").ToText(), "neu0");
    EXPECT_EQ(walker->Recordcount(), 6);
}

TEST_F(StandinTableTest, WalkOfOneTableObjectThatInsertsGoesOnAfterTheNewRecord) {
    // The customer import's address walk: no match, so a record is inserted and becomes current.
    auto table = application->CreateTable("AD");
    table->Insert();
    table->PutField("Adresstyp", "KUL1");
    table->Post();
    table->Insert();
    table->PutField("Adresstyp", "KUL2");
    table->Post();
    table->First();
    EXPECT_EQ(table->GetField("Adresstyp").ToText(), "KUL1");
    table->Insert();
    table->PutField("Adresstyp", "KUL3");
    table->Post();
    EXPECT_EQ(table->GetField("Adresstyp").ToText(), "KUL3");
    EXPECT_EQ(Walk(*table, "Adresstyp"), (std::vector<std::string>{"KUL1", "KUL2", "KUL3"}));
}

// --- key look-ups -----------------------------------------------------------------------------------

TEST_F(StandinTableTest, FindKeyMakesTheFoundRecordCurrentAndLeavesItOnAMiss) {
    auto table = application->CreateTable("AR");
    EXPECT_TRUE(table->FindKey("4712"));
    EXPECT_EQ(table->GetField("Bezeichnung").ToText(), "Harke");
    EXPECT_FALSE(table->FindKey("9999"));
    EXPECT_EQ(table->GetField("Bezeichnung").ToText(), "Harke");
    EXPECT_FALSE(table->FindKey("4712 "));  // keys compare exactly
    EXPECT_FALSE(table->FindKey(""));
    table->Next();  // the walk goes on from the found record
    EXPECT_THROW(table->GetField("Bezeichnung"), SelectlineError);
}

TEST_F(StandinTableTest, SeveralMatchesGiveTheFirstInTableOrder) {
    auto customers = application->CreateTable("KU");
    ASSERT_TRUE(customers->FindKey("10023"));
    EXPECT_EQ(customers->GetField("Name").ToText(), "Müller");
    auto prices = application->CreateTable("AP");
    ASSERT_TRUE(prices->FindKey2("4711", "A"));
    EXPECT_EQ(prices->GetField("Preis").ToText(), "17,5");
    EXPECT_EQ(prices->GetField("BisDatum").ToText(), "31.03.2025");
    ASSERT_TRUE(prices->FindKey("4711"));
    EXPECT_EQ(prices->GetField("Preisnummer").ToText(), "2");
}

TEST_F(StandinTableTest, FindKey3MatchesAllThreeParts) {
    auto prices = application->CreateTable("AP");
    ASSERT_TRUE(prices->FindKey3("4711", "G", "1"));
    EXPECT_EQ(prices->GetField("Preis").ToText(), "19,9");
    EXPECT_EQ(prices->GetField("VonDatum").ToText(), "01.02.2024");
    ASSERT_TRUE(prices->FindKey3("4711", "G", "2"));
    EXPECT_EQ(prices->GetField("Preis").ToText(), "15");
    EXPECT_FALSE(prices->FindKey3("4711", "G", "3"));
    EXPECT_FALSE(prices->FindKey3("4711", "g", "1"));
    EXPECT_EQ(prices->GetField("Preisnummer").ToText(), "2");
}

// --- writing ----------------------------------------------------------------------------------------

TEST_F(StandinTableTest, InsertAndPostAppendARecordThatBecomesCurrent) {
    auto table = application->CreateTable("KU");
    ASSERT_TRUE(table->FindKey("10023"));
    table->Insert();
    EXPECT_TRUE(table->GetField("Name").IsEmpty());  // the new record is empty
    table->PutField("Nummer", "10024");
    table->PutField("Name", "Weiß");
    EXPECT_EQ(table->GetField("Name").ToText(), "Weiß");
    EXPECT_EQ(table->Recordcount(), 2);  // not stored before Post
    table->Post();
    EXPECT_EQ(table->Recordcount(), 3);
    EXPECT_EQ(table->GetField("Nummer").ToText(), "10024");
    EXPECT_EQ(Walk(*table, "Nummer"), (std::vector<std::string>{"10023", "10023", "10024"}));
    EXPECT_EQ(Query("SELECT RefAdresse IS NULL FROM KU WHERE Nummer = '10024'"), "1");
}

TEST_F(StandinTableTest, PostWithoutInsertUpdatesTheCurrentRecordOnly) {
    auto table = application->CreateTable("AR");
    ASSERT_TRUE(table->FindKey("4711"));
    table->PutField("Bezeichnung", "Spaten \"Profi\"");
    EXPECT_EQ(table->GetField("Bezeichnung").ToText(), "Spaten \"Profi\"");
    EXPECT_EQ(table->GetField("Gewicht").ToText(), "19,9");  // fields not put keep their values
    table->Post();
    EXPECT_EQ(Query("SELECT Bezeichnung FROM AR WHERE Artikelnummer = '4711'"), "Spaten \"Profi\"");
    EXPECT_EQ(Query("SELECT group_concat(Bezeichnung, '|') FROM AR"), "Schlauch|Spaten \"Profi\"|Harke");
    EXPECT_EQ(table->Recordcount(), 3);
}

TEST_F(StandinTableTest, PutFieldStoresTextConvertedToTheColumnType) {
    auto table = application->CreateTable("AR");
    ASSERT_TRUE(table->FindKey("4710"));
    table->PutField("Gewicht", "1.234,5");
    table->PutField("Listenpreis", "19.9");
    table->PutField("SSVerkauf", " 2 ");
    table->PutField("FreiesDatum1", "1.3.1960");
    table->PutField("ShopAktiv", "Wahr");
    table->Post();
    const std::string row5 = " FROM AR WHERE rowid = 5";
    EXPECT_EQ(Query("SELECT typeof(Gewicht) || ' ' || Gewicht || '|' || Listenpreis || '|' || typeof(SSVerkauf) || ' ' "
                    "|| SSVerkauf || '|' || FreiesDatum1 || '|' || ShopAktiv" + row5),
              "real 1234.5|19.9|integer 2|1960-03-01|1");
    EXPECT_EQ(table->GetField("FreiesDatum1"), Variant(Date{1960, 3, 1}));

    table->PutField("FreiesDatum1", "2039-02-28");
    table->PutField("ShopAktiv", "Falsch");
    table->PutField("Gewicht", "");
    table->PutField("Bezeichnung", "");
    table->Post();
    // Empty text stores NULL, except in a TEXT column.
    EXPECT_EQ(Query("SELECT FreiesDatum1 || '|' || ShopAktiv || '|' || (Gewicht IS NULL) || '|' || typeof(Bezeichnung)" +
                    row5),
              "2039-02-28|0|1|text");
}

// Look-ups the table has no key for, unknown fields and text that does not fit the column are server
// errors naming table, field and value.
TEST_F(StandinTableTest, MisuseIsAServerErrorWithItsText) {
    auto table = application->CreateTable("AR");
    auto taxes = application->CreateTable("UD");
    const std::string doesNotFit = "passt nicht in das Feld ";
    const std::vector<std::pair<std::function<void()>, std::string>> cases = {
        {[&] { taxes->FindKey("1"); }, "Die Tabelle UD hat keinen Schlüssel zum Suchen."},
        {[&] { table->FindKey2("4711", "G"); }, "Der Schlüssel der Tabelle AR hat nur 1 Teil."},
        {[&] { table->GetField("Preis1"); }, "Das Feld Preis1 gibt es in der Tabelle AR nicht."},
        {[&] { table->PutField("artikelnummer", "1"); }, "Das Feld artikelnummer gibt es in der Tabelle AR nicht."},
        {[&] { table->PutField("Gewicht", "schwer"); },
         "Der Wert \"schwer\" " + doesNotFit + "Gewicht der Tabelle AR: erwartet wird eine Zahl."},
        {[&] { table->PutField("FreiesDatum1", "31.02.2025"); },
         "Der Wert \"31.02.2025\" " + doesNotFit + "FreiesDatum1 der Tabelle AR: erwartet wird ein Datum (TT.MM.JJJJ)."},
        {[&] { table->PutField("SSVerkauf", "1,5"); },
         "Der Wert \"1,5\" " + doesNotFit + "SSVerkauf der Tabelle AR: erwartet wird eine ganze Zahl."},
        {[&] { table->PutField("ShopAktiv", "vielleicht"); },
         "Der Wert \"vielleicht\" " + doesNotFit + "ShopAktiv der Tabelle AR: erwartet wird ein Wahrheitswert "
                                                     "(Wahr/Falsch)."},
    };
    for (const auto& [call, expected] : cases) {
        EXPECT_EQ(ErrorOf(call), expected);
    }
}

TEST_F(StandinTableTest, APostThatWouldDuplicateAKeyIsRefused) {
    auto table = application->CreateTable("AR");
    table->Insert();
    table->PutField("Artikelnummer", "4711");
    EXPECT_EQ(ErrorOf([&] { table->Post(); }),
              "Der Schlüssel Artikelnummer \"4711\" ist in der Tabelle AR schon vorhanden; der Datensatz wurde nicht "
              "gespeichert.");
    EXPECT_EQ(table->Recordcount(), 3);
    // Changing a key into one that exists is refused as well.
    ASSERT_TRUE(table->FindKey("4712"));
    table->PutField("Artikelnummer", "4710");
    EXPECT_THROW(table->Post(), SelectlineError);
    EXPECT_EQ(Query("SELECT count(*) FROM AR WHERE Artikelnummer = '4710'"), "1");
    // Prices: the whole three-part key counts.
    auto prices = application->CreateTable("AP");
    prices->Insert();
    prices->PutField("Artikelnummer", "4711");
    prices->PutField("Preisart", "G");
    prices->PutField("Preisnummer", "3");
    prices->Post();
    prices->Insert();
    prices->PutField("Artikelnummer", "4711");
    prices->PutField("Preisart", "G");
    prices->PutField("Preisnummer", "1");
    EXPECT_THROW(prices->Post(), SelectlineError);
    EXPECT_EQ(prices->Recordcount(), 5);
}

TEST_F(StandinTableTest, RecordsWithDuplicateKeysFromTheOperatorCanStillBeUpdated) {
    auto table = application->CreateTable("KU");
    ASSERT_TRUE(table->FindKey("10023"));
    table->PutField("RefAdresse", "R10023");
    table->Post();
    EXPECT_EQ(Query("SELECT RefAdresse FROM KU WHERE Name = 'Müller'"), "R10023");
}

TEST_F(StandinTableTest, MovingAwayDropsChangesThatWereNotPosted) {
    auto table = application->CreateTable("AR");
    ASSERT_TRUE(table->FindKey("4711"));
    table->PutField("Bezeichnung", "verworfen");
    table->Next();
    table->Insert();
    table->PutField("Artikelnummer", "4799");
    table->First();
    table->Post();
    EXPECT_EQ(Query("SELECT Bezeichnung FROM AR WHERE Artikelnummer = '4711'"), "Spaten");
    EXPECT_EQ(Query("SELECT count(*) FROM AR"), "3");
}

TEST_F(StandinTableTest, ChangesPersistAcrossReopening) {
    {
        auto table = application->CreateTable("KU");
        table->Insert();
        table->PutField("Nummer", "R10023");
        table->PutField("Name", "Lieferanschrift");
        table->Post();
    }
    application.reset();
    auto reopened = Open();
    auto table = reopened->CreateTable("KU");
    ASSERT_TRUE(table->FindKey("R10023"));
    EXPECT_EQ(table->GetField("Name").ToText(), "Lieferanschrift");
    EXPECT_EQ(table->Recordcount(), 3);
}

TEST_F(StandinTableTest, UnknownTableCodesAndMissingTablesAreServerErrors) {
    EXPECT_EQ(ErrorOf([&] { application->CreateTable("XY"); }),
              "Unbekannte Tabelle \"XY\": Selectline kennt die Tabellen AR, AG, TE, AP, UD, KU und AD.");
    EXPECT_THROW(application->CreateTable("ar"), SelectlineError);
    Sql("DROP TABLE TE");
    EXPECT_EQ(ErrorOf([&] { application->CreateTable("TE"); }),
              "Die Tabelle TE fehlt in der Selectline-Datenbank \"" + database.string() + "\".");
}

TEST_F(StandinTableTest, ListenpreisReadsTheArticleColumn) {
    EXPECT_EQ(application->Listenpreis("4711"), Variant(49.9));
    EXPECT_EQ(application->Listenpreis("4710").ToText(), "12");
    EXPECT_TRUE(application->Listenpreis("4712").IsEmpty());
    EXPECT_TRUE(application->Listenpreis("0000").IsEmpty());
}

}  // namespace
}  // namespace warenkai::test
