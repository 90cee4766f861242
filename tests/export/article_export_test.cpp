#include "export/article_export.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "export/article_file_writer.h"
#include "export/article_groups.h"
#include "tests/export/export_fixture.h"
#include "tests/export/failing_folder.h"
#include "tests/export/generated_articles.h"

namespace warenkai::test {
namespace {

// Both walks over the generated set (none of its articles for "empty") with the mapping of the
// scenario, into a folder holding two article files of an earlier run: the files, then the status
// texts, error lines and progress, and the number of Selectline calls against tests/data/export/
// <scenario>. The files of "repeated" and "matchcode" are what the transfer wrote when it still read
// every value where a row named it; now each value is read once per article, and groups and tax
// records once per transfer.
class ExportScenario : public ExportTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(ExportScenario, FilesJournalAndCallsAsExpected) {
    AddGeneratedArticles(*database, GetParam() == "empty" ? 0 : 300);
    UseGeneratedMapping(settings, GetParam());
    folder.Write("artikelstamm1.csv", "alt 1");
    folder.Write("artikelstamm2.csv", "alt 2");
    long calls = 0;
    database->onCall = [&calls](const std::string&) { ++calls; };
    Export();
    ExportArticleGroups(context, seen);
    const auto expected = [&](const std::string& name) {
        std::ifstream file(std::filesystem::path(WARENKAI_TEST_DATA) / "export" / GetParam() / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    };
    EXPECT_EQ(Read("artikelstamm1.csv"), expected("artikelstamm1.csv"));
    EXPECT_EQ(Read("artikelstamm2.csv"), "alt 2");
    EXPECT_EQ(Read("artikelgruppe.csv"), expected("artikelgruppe.csv"));
    // The journal, progress and calls, with runs of equal lines written once and " (xN)".
    const auto lines = Join(
        {journal.Entries(), {"-- progress"}, status.progressLog, {"-- Selectline calls: " + std::to_string(calls)}});
    std::string seenByTheUser;
    for (std::size_t i = 0, run = 1; i < lines.size(); i += run, run = 1) {
        while (i + run < lines.size() && lines[i + run] == lines[i]) {
            ++run;
        }
        seenByTheUser += lines[i] + (run == 1 ? "" : " (x" + std::to_string(run) + ")") + "\n";
    }
    EXPECT_EQ(seenByTheUser, expected("journal.txt"));
}

// "keydefault": no field in the key row, only a default value; "nogroups": no field nor default in
// both group rows; "defaultgroup": the upper group row with a default value only.
INSTANTIATE_TEST_SUITE_P(Scenarios, ExportScenario,
                         ::testing::Values("repeated", "matchcode", "keydefault", "nogroups", "defaultgroup", "empty"));

// 3,500 articles, those of passes 0 and 2000 without number, each with a special price from a date
// that cannot be read, and no group field. Files begin at passes 1000 and 3000: passes count, not
// written articles, and an article that is not written begins no file. The error list holds a
// thousand errors and a count of the rest. The group walk fails at the field only it reads, after
// the article files are complete, as it would if it read the article table itself.
TEST_F(ExportTest, ThousandsOfArticlesWithUnreadableDatesAndNoGroupField) {
    ClearMapping();
    Map("artikelnummer", "Artikelnummer");
    Map("obergruppe", "", "Alles");
    Map("angebot_von", "Aktionspreis ab");
    for (int i = 0; i < 3500; ++i) {
        const std::string number = std::to_string(10000 + i);
        database->Table("AR").Add({{"Artikelnummer", i % 2000 == 0 ? "" : number}});
        database->Table("AP").Add({{"Artikelnummer", number}, {"Preisart", "A"}, {"VonDatum", "2025/03/01"}});
    }
    EXPECT_EQ(Export(), 3);
    for (const auto& [file, first, lines] :
         {std::tuple("artikelstamm1.csv", "10001", 1000), std::tuple("artikelstamm2.csv", "11000", 2000),
          std::tuple("artikelstamm3.csv", "13000", 501)}) {
        const std::string bytes = Read(file);
        EXPECT_EQ(bytes.substr(kArticleHeader.size(), 8), "\"" + std::string(first) + "\",") << file;
        EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), lines) << file;
    }
    ASSERT_EQ(status.errors.size(), 1001u);
    EXPECT_EQ(status.errors[999], "Fehler: Artikel 11000: Datum \"2025/03/01\" nicht lesbar");
    EXPECT_EQ(status.errors.back(), "Fehler: Artikel: 2498 weitere Fehler nicht einzeln aufgeführt");
    std::string error;
    try {
        ExportArticleGroups(context, seen);
    } catch (const SelectlineError& e) {
        error = e.what();
    }
    EXPECT_EQ(error, "Das Feld Artikelgruppe gibt es in der Tabelle AR nicht");
    EXPECT_EQ(Read("artikelgruppe.csv"), "\"obergruppe\",\"untergruppe\"\r\n");
}

TEST(ArticleFileWriter, AFileThatCannotBeClosedWholeEndsTheTransfer) {
    FailingFolder folder;
    folder.failClose = true;
    ArticleFileWriter writer(folder, "/p", "h");
    writer.WriteRecord(0, "0");
    EXPECT_THROW(writer.Finish(), FileWriteError);
}

}  // namespace
}  // namespace warenkai::test
