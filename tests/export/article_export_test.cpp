#include <gtest/gtest.h>

#include <algorithm>

#include "export/article_export.h"
#include "export/article_groups.h"
#include "tests/export/export_fixture.h"

namespace warenkai::test {
namespace {

// A small Selectline with an article for every derived field and the articles that are not written.
class ArticleFileTest : public ExportTest {
protected:
    ArticleFileTest() {
        database->Table("AG")
            .Add({{"Nummer", "1"}, {"Bezeichnung", "Technik"}, {"Parent", ""}})
            .Add({{"Nummer", "10"}, {"Bezeichnung", "Zubehör"}, {"Parent", "1"}})
            .Add({{"Nummer", "20"}, {"Bezeichnung", "19\" Schränke"}, {"Parent", "77"}});
        database->Table("TE")
            .Add({{"Schluessel", "AR4711"}, {"TEXT", "Zeile 1\r\nZeile 2\r\n"}})
            .Add({{"Schluessel", "AT4711"}, {"TEXT", "10 x 20"}})
            .Add({{"Schluessel", "AS4711"}, {"TEXT", "it's"}});
        database->Table("AP")
            .Add({{"Artikelnummer", "4711"},
                  {"Preisart", "G"},
                  {"Preisnummer", "1"},
                  {"Preis", 12.5},
                  {"VonDatum", Date{2025, 3, 1}},
                  {"BisDatum", Variant{}}})
            .Add({{"Artikelnummer", "4711"}, {"Preisart", "G"}, {"Preisnummer", "2"}, {"Preis", 100}})
            .Add({{"Artikelnummer", "4711"},
                  {"Preisart", "A"},
                  {"Preis", 9.99},
                  {"VonDatum", Date{2025, 6, 1}},
                  {"BisDatum", Date{2025, 6, 30}}});
        database->Table("UD")
            .Add({{"Steuercode", 1}, {"GueltigAb", Date{2007, 1, 1}}, {"Steuer", 16}})
            .Add({{"Steuercode", 2}, {"GueltigAb", Date{2007, 1, 1}}, {"Steuer", 7}})
            .Add({{"Steuercode", 1}, {"GueltigAb", Date{2020, 7, 1}}, {"Steuer", 19}});
        auto& articles = database->Table("AR");
        articles.Add({{"Artikelnummer", "4711"},
                      {"Bezeichnung", "Schraube \"M6\""},
                      {"Lieferant", "  77 "},
                      {"Gewicht", 0.25},
                      {"EANnummer", "4001234567890"},
                      {"Hersteller", "Würth"},
                      {"Artikelgruppe", "10"},
                      {"SSVerkauf", 1},
                      {"ShopAktiv", true},
                      {"Listenpreis", 19.9}});
        articles.Add({{"Artikelnummer", "  4712 "},
                      {"Bezeichnung", "   "},
                      {"Lieferant", ""},
                      {"Gewicht", 2},
                      {"EANnummer", ""},
                      {"Hersteller", "O'Brien, Söhne"},
                      {"Artikelgruppe", "1"},
                      {"SSVerkauf", 2},
                      {"ShopAktiv", false}});
        articles.Add({{"Artikelnummer", "4713"}, {"Bezeichnung", "ohne Gruppe"}, {"Artikelgruppe", ""}});
        articles.Add({{"Artikelnummer", "4714"}, {"Bezeichnung", "Gruppe unbekannt"}, {"Artikelgruppe", "99"}});
        articles.Add({{"Artikelnummer", "  "}, {"Bezeichnung", "ohne Nummer"}, {"Artikelgruppe", "1"}});
        articles.Add({{"Artikelnummer", "4716"},
                      {"Bezeichnung", "Rack"},
                      {"Artikelgruppe", "20"},
                      {"SSVerkauf", 9},
                      {"ShopAktiv", true}});

        Map("artikelnummer", "Artikelnummer");
        Map("bezeichnung", "Bezeichnung", "ohne Namen");
        Map("beschreibung", "Langtext");
        Map("lieferantennummer", "Lieferant", " keiner ", " L- ");
        Map("bild", "", " kein.jpg ", "img/");
        Map("vk_netto", "Preis1", "0");
        Map("vk_brutto", "Listenpreis", "0");
        Map("gewicht", "Gewicht", "0");
        Map("packungseinheit", "Dimension");
        Map("mengeneinheit", "Info", "Stk");
        Map("angebot_vk_netto", "Aktionspreis", "0");
        Map("angebot_von", "Aktionspreis ab");
        Map("angebot_bis", "Aktionspreis bis");
        Map("obergruppe", "Artikelgruppe Parent");
        Map("untergruppe", "Artikelgruppe");
        Map("mwstsatz", "MwSt-Satz", "16");
        Map("bild_gross", "Bestell");
        Map("eancode", "EANnummer");
        Map("hersteller", "Hersteller");
        Map("herstellernummer", "Bezeichnung");  // the same field in a second row
        Map("vk_netto_handler", "Preis2", "0");
        Map("vk_brutto_handler", "Preis2 ab", "offen");
        Map("angebot_von_handler", "Preis1 ab");
        Map("angebot_bis_handler", "Preis9 ab");
    }

    int Export() {
        SelectlineSession session = OpenSession();
        return ExportArticles(settings, context, session, seen);
    }
};

// Windows-1252 bytes of the names used above.
const std::string kZubehoer = "Zubeh\xF6r";
const std::string kAcute = "\xB4";

const std::string kRecord4711 = Record({"4711",
                                        "Schraube " + kAcute + "M6" + kAcute,
                                        "Zeile 1 Zeile 2 ",
                                        "L-77",
                                        "kein.jpg",
                                        "12.5",
                                        "19.9",
                                        "0,25",
                                        "10 x 20",
                                        "Stk",
                                        "9.99",
                                        "0",
                                        "2025-06-01",
                                        "2025-06-30",
                                        "Technik",
                                        kZubehoer,
                                        "",
                                        "19",
                                        "it" + kAcute + "s",
                                        "",
                                        "4001234567890",
                                        "Ab Lager",
                                        "W\xFCrth",
                                        "Schraube " + kAcute + "M6" + kAcute,
                                        "100",
                                        "offen",
                                        "0",
                                        "0",
                                        "2025-03-01",
                                        "",
                                        "Ja",
                                        ""});

// 4712: no prices, texts or special price; blanks-only name; tax code 2. The offer values of 4711's
// rows are overwritten by this article's own (empty) ones.
const std::string kRecord4712 = Record({"4712",
                                        "",
                                        "",
                                        "keiner",
                                        "kein.jpg",
                                        "0",
                                        "0",
                                        "2",
                                        "",
                                        "Stk",
                                        "0",
                                        "0",
                                        "",
                                        "",
                                        "Technik",
                                        "",
                                        "",
                                        "7",
                                        "",
                                        "",
                                        "",
                                        "Ab Lager",
                                        "O" + kAcute + "Brien, S\xF6hne",
                                        "",
                                        "0",
                                        "offen",
                                        "0",
                                        "0",
                                        "",
                                        "",
                                        "",
                                        ""});

// 4716: group 20's parent 77 does not exist; no tax record with code 9.
const std::string kRecord4716 = Record({"4716",  "Rack",     "",   "keiner", "kein.jpg",
                                        "0",     "0",        "0",  "",       "Stk",
                                        "0",     "0",        "",   "",       "19" + kAcute + " Schr\xE4nke",
                                        "",      "",         "16", "",       "",
                                        "",      "Ab Lager", "",   "Rack",   "0",
                                        "offen", "0",        "0",  "",       "",
                                        "",      ""});

TEST_F(ArticleFileTest, WritesOneRecordPerArticleWithAGroup) {
    EXPECT_EQ(Export(), 1);
    EXPECT_EQ(Read("artikelstamm1.csv"), kArticleHeader + kRecord4711 + kRecord4712 + kRecord4716);
    EXPECT_EQ(Read("artikelstamm2.csv"), "<missing>");
    EXPECT_TRUE(status.errors.empty());
}

TEST_F(ArticleFileTest, FewMappedRowsLeaveTheOtherFieldsEmpty) {
    database->Table("AR").rows.resize(1);
    ClearMapping();
    Map("artikelnummer", "Artikelnummer");
    Map("bezeichnung", "Bezeichnung");
    Map("obergruppe", "Artikelgruppe Parent");
    Map("untergruppe", "Artikelgruppe");
    Map("verfugbarkeit", "", "Ab Lager");
    EXPECT_EQ(Export(), 1);
    std::vector<std::string> fields(32);
    fields[0] = "4711";
    fields[1] = "Schraube \xB4M6\xB4";
    fields[14] = "Technik";
    fields[15] = kZubehoer;
    fields[21] = "Ab Lager";
    EXPECT_EQ(Read("artikelstamm1.csv"), kArticleHeader + Record(fields));
}

TEST_F(ArticleFileTest, GroupFileHoldsOneLinePerArticleWithAGroup) {
    SelectlineSession session = OpenSession();
    ExportArticles(settings, context, session, seen);
    ExportArticleGroups(context, seen);
    // 4713 has no group, 4714 an unknown one, the fifth article no number.
    EXPECT_EQ(Read("artikelgruppe.csv"),
              "\"obergruppe\",\"untergruppe\"\r\n"
              "\"Technik\",\"Zubeh\xF6r\"\r\n"
              "\"Technik\",\"\"\r\n"
              "\"19\xB4 Schr\xE4nke\",\"\"\r\n");
}

TEST_F(ArticleFileTest, OnlyShopActiveArticlesWhenTicked) {
    settings.onlyShopActive = true;
    SelectlineSession session = OpenSession();
    EXPECT_EQ(ExportArticles(settings, context, session, seen), 1);
    ExportArticleGroups(context, seen);
    EXPECT_EQ(Read("artikelstamm1.csv"), kArticleHeader + kRecord4711 + kRecord4716);
    EXPECT_EQ(Read("artikelgruppe.csv"),
              "\"obergruppe\",\"untergruppe\"\r\n\"Technik\",\"Zubeh\xF6r\"\r\n\"19\xB4 Schr\xE4nke\",\"\"\r\n");
}

TEST_F(ArticleFileTest, NothingIsWrittenWithoutKeyField) {
    Map("artikelnummer", "", "4711");
    folder.Write("artikelstamm1.csv", "from an earlier run");
    EXPECT_EQ(Export(), 0);
    EXPECT_EQ(Read("artikelstamm1.csv"), "from an earlier run");
}

TEST_F(ArticleFileTest, NothingIsWrittenWhenBothGroupColumnsAreEmpty) {
    Map("obergruppe", "");
    Map("untergruppe", "");
    EXPECT_EQ(Export(), 0);
    EXPECT_EQ(Read("artikelstamm1.csv"), "<missing>");
    EXPECT_EQ(status.progressValue, 6);
}

TEST_F(ArticleFileTest, GroupDefaultValueWritesEveryAcceptedArticle) {
    ClearMapping();
    Map("artikelnummer", "Artikelnummer");
    Map("obergruppe", "", "Alles");
    EXPECT_EQ(Export(), 1);
    std::vector<std::string> fields(32);
    fields[14] = "Alles";
    std::string expected = kArticleHeader;
    for (const char* number : {"4711", "4712", "4713", "4714", "4716"}) {
        fields[0] = number;
        expected += Record(fields);
    }
    EXPECT_EQ(Read("artikelstamm1.csv"), expected);
}

TEST_F(ArticleFileTest, UnreadableDateGivesTheDefaultValueAndAnErrorLine) {
    database->Table("AP").rows[0]["VonDatum"] = Variant("2025/03/01");
    EXPECT_EQ(Export(), 1);
    EXPECT_EQ(status.errors, std::vector<std::string>{"Fehler: Artikel 4711: Datum \"2025/03/01\" nicht lesbar"});
    // The row's default value (empty) instead, and the articles after it are written as usual.
    std::string expected4711 = kRecord4711;
    expected4711.replace(expected4711.find("\"2025-03-01\""), 12, "\"\"");
    EXPECT_EQ(Read("artikelstamm1.csv"), kArticleHeader + expected4711 + kRecord4712 + kRecord4716);
}

TEST_F(ArticleFileTest, StatusTextsAndProgress) {
    ClearMapping();
    Map("artikelnummer", "Artikelnummer");
    Map("obergruppe", "Artikelgruppe Parent");
    settings.onlyShopActive = true;
    Export();
    // 4712 and 4713 are not shop-active, 4714 has an unknown group, the fifth article no number.
    EXPECT_EQ(journal.Entries(),
              Join({{"status: Auslesen von Artikeln aus Selectline"}, ReadingArticle("4711"), ReadingArticle("4716")}));
    EXPECT_EQ(status.progressLog, (std::vector<std::string>{"max 6", "value 0", "value 1", "value 2", "value 3",
                                                            "value 4", "value 5", "value 6"}));
}

TEST_F(ArticleFileTest, EmptyArticleTable) {
    database->Table("AR").rows.clear();
    EXPECT_EQ(Export(), 0);
    EXPECT_EQ(status.progressLog, std::vector<std::string>{"value 0"});
    EXPECT_EQ(journal.Entries(), std::vector<std::string>{"status: Auslesen von Artikeln aus Selectline"});
    EXPECT_EQ(Read("artikelstamm1.csv"), "<missing>");
}

TEST_F(ArticleFileTest, SelectlineCallsOfOneArticle) {
    database->Table("AR").rows.resize(1);
    ClearMapping();
    Map("artikelnummer", "Artikelnummer");
    Map("beschreibung", "Langtext");
    Map("vk_netto", "Preis1");
    Map("angebot_von", "Preis1 ab");
    Map("angebot_bis", "Aktionspreis bis");
    Map("obergruppe", "Artikelgruppe Parent");
    Map("untergruppe", "Artikelgruppe");
    Map("mwstsatz", "MwSt-Satz");
    Map("vk_brutto", "Listenpreis");
    Map("bild_gross", "  ", "x");  // blanks only: the default value, no call
    Map("eancode", "Artikelnummer");
    database->recordCalls = true;
    Export();
    ExportArticleGroups(context, seen);
    // Row by row, each value read once: the key decides at row 1 and serves both rows that name it;
    // the long text; price 1 with both fields its rows need, then the list price; the special price
    // with the one field its row needs; the group and its parent, read for "obergruppe" and kept for
    // "untergruppe"; the tax table, once per transfer, then the article's tax code. The group walk
    // takes all it needs from the article walk.
    const std::vector<std::string> expected = {"AR.Recordcount",
                                               "AR.GetField Artikelnummer",
                                               "TE.FindKey AR4711",
                                               "TE.GetField TEXT",
                                               "AP.FindKey 4711 G 1",
                                               "AP.GetField Preis",
                                               "AP.GetField VonDatum",
                                               "Listenpreis 4711",
                                               "AP.FindKey 4711 A",
                                               "AP.GetField BisDatum",
                                               "AR.GetField Artikelgruppe",
                                               "AG.FindKey 10",
                                               "AG.GetField Bezeichnung",
                                               "AG.GetField Parent",
                                               "AG.FindKey 1",
                                               "AG.GetField Bezeichnung",
                                               "AG.GetField Parent",
                                               "UD.First",
                                               "UD.Recordcount",
                                               "UD.GetField Steuercode",
                                               "UD.GetField GueltigAb",
                                               "UD.GetField Steuer",
                                               "UD.Next",
                                               "UD.GetField Steuercode",
                                               "UD.GetField GueltigAb",
                                               "UD.GetField Steuer",
                                               "UD.Next",
                                               "UD.GetField Steuercode",
                                               "UD.GetField GueltigAb",
                                               "UD.GetField Steuer",
                                               "UD.Next",
                                               "AR.GetField SSVerkauf",
                                               "AR.Next"};
    EXPECT_EQ(database->calls, expected);
}

// A field that only the group walk reads fails there, after the article files are complete, as it
// would if the group walk read the article table itself.
TEST_F(ArticleFileTest, ErrorOfAFieldOnlyTheGroupWalkReadsEndsTheGroupWalk) {
    for (auto& row : database->Table("AR").rows) {
        row.erase("Artikelgruppe");
    }
    std::erase(database->Table("AR").columns, "Artikelgruppe");
    ClearMapping();
    Map("artikelnummer", "Artikelnummer");
    Map("obergruppe", "", "Alles");
    EXPECT_EQ(Export(), 1);
    const std::string articles = Read("artikelstamm1.csv");
    EXPECT_EQ(std::count(articles.begin(), articles.end(), '\n'), 6);  // the header and five articles
    std::string error;
    try {
        ExportArticleGroups(context, seen);
    } catch (const SelectlineError& e) {
        error = e.what();
    }
    EXPECT_EQ(error, "Das Feld Artikelgruppe gibt es in der Tabelle AR nicht");
    EXPECT_EQ(Read("artikelgruppe.csv"), "\"obergruppe\",\"untergruppe\"\r\n");
}

}  // namespace
}  // namespace warenkai::test

namespace warenkai::test {
namespace {

// A database whose dates the program cannot read must not flood the error list.
class ManyUnreadableDates : public ExportTest {};

TEST_F(ManyUnreadableDates, AreListedAThousandTimesThenCounted) {
    ClearMapping();
    Map("artikelnummer", "Artikelnummer");
    Map("obergruppe", "", "Alles");
    Map("angebot_von", "Aktionspreis ab");
    for (int i = 0; i < 1005; ++i) {
        const std::string number = std::to_string(10000 + i);
        database->Table("AR").Add({{"Artikelnummer", number}});
        database->Table("AP").Add({{"Artikelnummer", number}, {"Preisart", "A"}, {"VonDatum", "2025/03/01"}});
    }
    SelectlineSession session = OpenSession();
    EXPECT_EQ(ExportArticles(settings, context, session, seen), 2);
    ASSERT_EQ(status.errors.size(), 1001u);
    EXPECT_EQ(status.errors.front(), "Fehler: Artikel 10000: Datum \"2025/03/01\" nicht lesbar");
    EXPECT_EQ(status.errors[999], "Fehler: Artikel 10999: Datum \"2025/03/01\" nicht lesbar");
    EXPECT_EQ(status.errors.back(), "Fehler: Artikel: 5 weitere Fehler nicht einzeln aufgeführt");
}

}  // namespace
}  // namespace warenkai::test
