#include <gtest/gtest.h>

#include <string>

#include "tests/selectline/standin_fixture.h"

namespace warenkai::test {
namespace {

class StandinDocumentTest : public StandinFixture {
protected:
    void SetUp() override {
        Sql(R"(
            CREATE TABLE AR (Artikelnummer TEXT, Bezeichnung TEXT);
            INSERT INTO AR VALUES ('4711', 'Spaten'), ('4712', 'Harke');
            CREATE TABLE KU (Nummer TEXT, Name TEXT);
            INSERT INTO KU VALUES ('10023', 'Müller');
        )");
        application = Open();
    }

    std::unique_ptr<SelectlineApplication> application;
};

TEST_F(StandinDocumentTest, ADocumentIsStoredWithItsSavedPositionsOnly) {
    auto document = application->NeuerBelegAuto("B", "");
    document->SetAdresse("10023");
    document->PutField("FreierText1", "Bestellung 1001 vom Shop");
    document->PutField("FreierText2", "B:VorkasseKN:Bitte klingeln");
    {
        auto line = document->CreatePos("A");
        line->SetEingabeMenge(2.0);
        line->SetArtikel("4711");
        line->SetEinzelpreis(9.95);
        line->SetSteuerProzent("19,00");
        line->SetBezeichnung("Spaten \"Profi\"");
        line->SetGesamtpreis("19,90");
        line->Save(1);
    }
    {
        auto line = document->CreatePos("A");
        line->SetEingabeMenge(1.5);
        line->SetArtikel("4712");
        // not saved: does not reach the document
    }
    {
        auto line = document->CreatePos("A");
        line->SetBezeichnung("Versandkosten");
        line->Save(1);
    }
    EXPECT_EQ(Query("SELECT count(*) FROM BELEG"), "0");  // nothing before Save
    document->Save();

    EXPECT_EQ(Query("SELECT Belegnummer || '|' || Belegart || '|' || Adresse || '|' || FreierText1 || '|' || FreierText2 "
                  "FROM BELEG"),
              "1|B|10023|Bestellung 1001 vom Shop|B:VorkasseKN:Bitte klingeln");
    EXPECT_EQ(Query("SELECT group_concat(Position || ';' || Positionsart || ';' || Menge || ';' || Artikelnummer || ';' || "
                  "Einzelpreis || ';' || SteuerProzent || ';' || Bezeichnung || ';' || Gesamtpreis, '/') FROM BELEGPOS "
                  "WHERE Belegnummer = 1"),
              "1;A;2.0;4711;9.95;19,00;Spaten \"Profi\";19,90");
    EXPECT_EQ(Query("SELECT count(*) FROM BELEGPOS"), "2");
    // A value never set stays NULL.
    EXPECT_EQ(Query("SELECT (Menge IS NULL) || (Artikelnummer IS NULL) || (Einzelpreis IS NULL) || "
                  "(SteuerProzent IS NULL) || (Gesamtpreis IS NULL) || Bezeichnung FROM BELEGPOS WHERE Position = 2"),
              "11111Versandkosten");
    EXPECT_EQ(Query("SELECT typeof(Menge) || typeof(Einzelpreis) FROM BELEGPOS WHERE Position = 1"), "realreal");
}

TEST_F(StandinDocumentTest, ADocumentWithoutPositionsIsStoredToo) {
    auto document = application->NeuerBelegAuto("B", "");
    document->SetAdresse("10023");
    document->Save();
    auto second = application->NeuerBelegAuto("B", "");
    second->PutField("FreierText2", "");
    second->Save();
    EXPECT_EQ(Query("SELECT count(*) FROM BELEG"), "2");
    EXPECT_EQ(Query("SELECT count(*) FROM BELEGPOS"), "0");
    EXPECT_EQ(Query("SELECT (Adresse IS NULL) || (FreierText1 IS NULL) || typeof(FreierText2) FROM BELEG "
                  "WHERE Belegnummer = 2"),
              "11text");
}

TEST_F(StandinDocumentTest, SavingAgainRewritesTheSameDocument) {
    auto document = application->NeuerBelegAuto("B", "");
    auto line = document->CreatePos("A");
    line->SetArtikel("4711");
    line->Save(1);
    document->Save();
    line->SetEingabeMenge(3.0);
    line->Save(1);  // the same position again: replaced, not added
    auto other = document->CreatePos("A");
    other->SetArtikel("4712");
    other->Save(1);
    document->Save();
    EXPECT_EQ(Query("SELECT count(*) FROM BELEG"), "1");
    EXPECT_EQ(Query("SELECT group_concat(Position || ':' || Artikelnummer || ':' || ifnull(Menge, '-'), ' ') FROM BELEGPOS"),
              "1:4711:3.0 2:4712:-");
}

TEST_F(StandinDocumentTest, UnknownCustomersArticlesAndFieldsAreServerErrors) {
    auto document = application->NeuerBelegAuto("B", "");
    EXPECT_EQ(ErrorOf([&] { document->SetAdresse("99999"); }), "Der Kunde \"99999\" ist in Selectline nicht vorhanden.");
    EXPECT_EQ(ErrorOf([&] { document->PutField("Lieferdatum", "01.03.2025"); }),
              "Das Feld Lieferdatum gibt es im Beleg nicht.");
    auto line = document->CreatePos("A");
    EXPECT_EQ(ErrorOf([&] { line->SetArtikel("0815"); }), "Der Artikel \"0815\" ist in Selectline nicht vorhanden.");
    // The order import goes on with the remaining calls after such errors.
    line->SetBezeichnung("Unbekannter Artikel");
    line->Save(1);
    document->Save();
    EXPECT_EQ(Query("SELECT (Adresse IS NULL) || '|' || (p.Artikelnummer IS NULL) || '|' || p.Bezeichnung "
                  "FROM BELEG JOIN BELEGPOS p USING (Belegnummer)"),
              "1|1|Unbekannter Artikel");
}

TEST_F(StandinDocumentTest, DocumentsSurviveReopening) {
    auto document = application->NeuerBelegAuto("B", "");
    document->SetAdresse("10023");
    document->Save();
    document.reset();
    application.reset();
    auto reopened = Open();
    auto next = reopened->NeuerBelegAuto("B", "");
    next->Save();
    EXPECT_EQ(Query("SELECT group_concat(Belegnummer || ':' || ifnull(Adresse, '-'), ' ') FROM BELEG"), "1:10023 2:-");
}

}  // namespace
}  // namespace warenkai::test
