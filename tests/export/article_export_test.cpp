#include "export/article_export.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

#include "export/article_groups.h"
#include "tests/export/export_fixture.h"

namespace warenkai::test {
namespace {

class ExportScenario : public ::testing::TestWithParam<std::string>, protected ExportWorld {};

// Both walks over the generated Selectline of tests/data/export/selectline.txt, whose articles run
// through the cases the article transfer must get right: unknown groups, missing and self-referring
// parents, group keys with blanks around them, names with quotes, line breaks and characters
// Windows-1252 lacks; tax records with equal dates, without date, with future dates, codes as numbers
// and as texts; prices without date or with a date the export cannot read; rejected articles. Its
// groups and tax records and 300 articles (none for "empty"), with the mapping of
// tests/data/export/<scenario>/mapping.txt, into a
// folder holding two article files of an earlier run: the files, then the status texts, error lines
// and progress, and the number of Selectline calls. The files of "repeated" and "matchcode" were
// written by the transfer when it still read every value where a row named it; now each value is
// read once per article, and groups and tax records once per transfer: they must not change.
TEST_P(ExportScenario, FilesJournalAndCallsAsExpected) {
    const std::string data = "export/" + GetParam() + "/";
    AddRecords(*database, Cases("export/selectline.txt").at(0).second);
    if (GetParam() == "empty") {
        database->Table("AR").rows.clear();
    }
    UseMapping(settings, data + "mapping.txt");
    settings.onlyShopActive = GetParam() == "matchcode";
    folder.Write("artikelstamm1.csv", "alt 1");
    folder.Write("artikelstamm2.csv", "alt 2");
    long calls = 0;
    database->onCall = [&calls](const std::string&) { ++calls; };
    Export();
    ExportArticleGroups(context, seen);
    EXPECT_EQ(folder.Read("artikelstamm1.csv"), TestData(data + "artikelstamm1.csv"));
    EXPECT_EQ(folder.Read("artikelstamm2.csv"), "alt 2");
    EXPECT_EQ(folder.Read("artikelgruppe.csv"), TestData(data + "artikelgruppe.csv"));
    EXPECT_EQ(Runs(Join({journal.Entries(),
                         {"-- progress"},
                         status.progressLog,
                         {"-- Selectline calls: " + std::to_string(calls)}})),
              TestData(data + "journal.txt"));
}

// "repeated": key "Artikelnummer", every kind of derived field, several of them in two rows;
// "matchcode": key "Matchcode" (so the group walk decides by another field than the key), with
// onlyShopActive ticked; "keydefault": no field in the key row, only a default value; "nogroups": no
// field nor default in both group rows; "defaultgroup": the upper group row with a default value only.
INSTANTIATE_TEST_SUITE_P(Scenarios, ExportScenario,
                         ::testing::Values("repeated", "matchcode", "keydefault", "nogroups", "defaultgroup", "empty"));

class ArticleExportTest : public ::testing::Test, protected ExportWorld {};

// 3,500 articles, those of passes 0 and 2000 without number, each with a special price from a date
// that cannot be read, and no group field. Files begin at passes 1000 and 3000: passes count, not
// written articles, and an article that is not written begins no file. The error list holds a
// thousand errors and a count of the rest. The group walk fails at the field only it reads, after
// the article files are complete, as it would if it read the article table itself.
TEST_F(ArticleExportTest, ThousandsOfArticlesWithUnreadableDatesAndNoGroupField) {
    UseMapping(settings, "export/thousands/mapping.txt");  // key, special price from, upper group "Alles"
    for (int i = 0; i < 3500; ++i) {
        const std::string number = std::to_string(10000 + i);
        database->Table("AR").Add({{"Artikelnummer", i % 2000 == 0 ? "" : number}});
        database->Table("AP").Add({{"Artikelnummer", number}, {"Preisart", "A"}, {"VonDatum", "2025/03/01"}});
    }
    EXPECT_EQ(Export(), 3);
    for (const auto& [file, first, lines] :
         {std::tuple("artikelstamm1.csv", "10001", 1000), std::tuple("artikelstamm2.csv", "11000", 2000),
          std::tuple("artikelstamm3.csv", "13000", 501)}) {
        const std::string bytes = folder.Read(file);
        EXPECT_EQ(bytes.substr(bytes.find('\n') + 1, 8), "\"" + std::string(first) + "\",") << file;
        EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), lines) << file;
    }
    ASSERT_EQ(status.errors.size(), 1001u);
    EXPECT_EQ(status.errors[999], "Fehler: Artikel 11000: Datum \"2025/03/01\" nicht lesbar");
    EXPECT_EQ(status.errors.back(), "Fehler: Artikel: 2498 weitere Fehler nicht einzeln aufgeführt");
    EXPECT_THAT([&] { ExportArticleGroups(context, seen); },
                ::testing::ThrowsMessage<SelectlineError>("Das Feld Artikelgruppe gibt es in der Tabelle AR nicht"));
    EXPECT_EQ(folder.Read("artikelgruppe.csv"), "\"obergruppe\",\"untergruppe\"\r\n");
}

}  // namespace
}  // namespace warenkai::test
