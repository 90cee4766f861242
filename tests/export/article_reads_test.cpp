#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "export/article_export.h"
#include "export/article_groups.h"
#include "tests/export/export_fixture.h"
#include "tests/export/generated_articles.h"

namespace warenkai::test {
namespace {

// The Selectline calls of both walks of the article transfer over `articles` articles of the
// benchmark's set, with its mapping.
long CallsOfBothWalks(long articles, int taxRecords) {
    FakeTransferWorld world;
    world.database->indexKeys = true;
    for (const char* code : {"AR", "AG", "TE", "AP", "UD"}) {
        world.database->Table(code);
    }
    AddBenchmarkArticles(*world.database, articles, taxRecords);
    UseGeneratedMapping(world.settings, "benchmark");
    SelectlineSession session = OpenSelectlineSession({"AR", "AG", "TE", "AP", "UD"}, world.context);
    long calls = 0;
    world.database->onCall = [&calls](const std::string&) { ++calls; };
    ArticlesSeen seen;
    ExportArticles(world.settings, world.context, session, seen);
    ExportArticleGroups(world.context, seen);
    return calls;
}

// What 100 further articles add (every group occurs in the first 100, so nothing is looked up for
// the first time among the next 100).
long CallsOfAHundredArticles(int taxRecords) {
    return CallsOfBothWalks(200, taxRecords) - CallsOfBothWalks(100, taxRecords);
}

// Each article costs the reads of its own values: its four fields, four texts, nine prices and the
// special price, each looked up once, and the move to the next article.
TEST(ArticleReadsTest, AtMost48CallsPerArticleOnTheBenchmarksMapping) {
    EXPECT_LE(CallsOfAHundredArticles(20), 48 * 100);
}

// The tax table is read once per transfer, not once per article.
TEST(ArticleReadsTest, CallsPerArticleDoNotGrowWithTheTaxTable) {
    EXPECT_EQ(CallsOfAHundredArticles(20), CallsOfAHundredArticles(2'000));
}

std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// The generated set's files, status texts, error lines and progress, against what the transfer wrote
// when it still read every value where a row named it (tests/data/export/<mapping>).
class GeneratedArticlesTest : public ExportTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(GeneratedArticlesTest, FilesAndJournalAsBeforeTheReadsWereCut) {
    AddGeneratedArticles(*database, 300);
    UseGeneratedMapping(settings, GetParam());
    SelectlineSession session = OpenSession();
    status.progressLog.clear();
    ExportArticles(settings, context, session, seen);
    ExportArticleGroups(context, seen);

    const std::filesystem::path expected = std::filesystem::path(WARENKAI_TEST_DATA) / "export" / GetParam();
    EXPECT_EQ(Read("artikelstamm1.csv"), FileBytes(expected / "artikelstamm1.csv"));
    EXPECT_EQ(Read("artikelstamm2.csv"), "<missing>");
    EXPECT_EQ(Read("artikelgruppe.csv"), FileBytes(expected / "artikelgruppe.csv"));
    std::string seenByTheUser;
    for (const auto& line : CompressedJournal(journal.Entries())) {
        seenByTheUser += line + "\n";
    }
    seenByTheUser += "-- progress\n";
    for (const auto& line : status.progressLog) {
        seenByTheUser += line + "\n";
    }
    EXPECT_EQ(seenByTheUser, FileBytes(expected / "journal.txt"));
}

INSTANTIATE_TEST_SUITE_P(Mappings, GeneratedArticlesTest, ::testing::Values("repeated", "matchcode"));

}  // namespace
}  // namespace warenkai::test
