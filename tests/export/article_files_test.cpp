#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "export/article_export.h"
#include "export/article_file_writer.h"
#include "export/article_groups.h"
#include "export/shop_csv_file.h"
#include "tests/export/export_fixture.h"
#include "tests/export/failing_folder.h"

namespace warenkai::test {
namespace {

// Checks that every line of an article file ends with CR LF and has the header's field count, the
// first being the header; gives the record count and the numbers of the first and last record.
std::tuple<std::size_t, std::string, std::string> ShapeOf(const std::string& bytes) {
    std::vector<std::string> numbers;
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "last line without CR LF";
            break;
        }
        const std::string line = bytes.substr(start, end - start);
        EXPECT_EQ(std::count(line.begin(), line.end(), '"'), 64) << line;
        numbers.push_back(line.substr(1, line.find('"', 1) - 1));
        start = end + 2;
    }
    EXPECT_EQ(bytes.substr(0, kArticleHeader.size()), kArticleHeader);
    if (numbers.size() < 2) {
        return {0, "", ""};
    }
    return {numbers.size() - 1, numbers[1], numbers.back()};
}

// Articles numbered 0, 1, 2, … in table order, all with a group by the default value of "obergruppe".
class ArticleSplitTest : public ExportTest {
protected:
    ArticleSplitTest() {
        ClearMapping();
        Map("artikelnummer", "Artikelnummer");
        Map("obergruppe", "", "Alles");
    }

    void Articles(int count) {
        for (int i = 0; i < count; ++i) {
            database->Table("AR").Add({{"Artikelnummer", std::to_string(i)}});
        }
    }
    void Reject(int pass) { database->Table("AR").rows[static_cast<std::size_t>(pass)]["Artikelnummer"] = Variant(""); }

    int Export() {
        SelectlineSession session = OpenSession();
        return ExportArticles(settings, context, session, seen);
    }

    using File = std::tuple<std::size_t, std::string, std::string>;  // records, first and last number
};

// A new file every thousand passes, counted over rejected articles too: {articles, rejected pass,
// the files written}.
TEST_F(ArticleSplitTest, ANewFileEveryThousandPasses) {
    const std::vector<std::tuple<int, int, std::vector<File>>> cases = {
        {2500, -1, {{1000, "0", "999"}, {1000, "1000", "1999"}, {500, "2000", "2499"}}},
        {2500, 1000, {{1999, "0", "1999"}, {500, "2000", "2499"}}},  // the pass that would begin a file
        {1500, 0, {{999, "1", "999"}, {500, "1000", "1499"}}},
        {1000, -1, {{1000, "0", "999"}}},
    };
    for (const auto& [count, rejected, files] : cases) {
        database->Table("AR").rows.clear();
        for (int i = 1; i <= 4; ++i) {
            std::filesystem::remove(folder / ("artikelstamm" + std::to_string(i) + ".csv"));
        }
        Articles(count);
        if (rejected >= 0) {
            Reject(rejected);
        }
        EXPECT_EQ(Export(), static_cast<int>(files.size())) << count << " " << rejected;
        for (std::size_t i = 0; i < files.size(); ++i) {
            EXPECT_EQ(ShapeOf(Read("artikelstamm" + std::to_string(i + 1) + ".csv")), files[i]) << count << " " << i;
        }
        EXPECT_EQ(Read("artikelstamm" + std::to_string(files.size() + 1) + ".csv"), "<missing>");
    }
}

TEST_F(ArticleSplitTest, FilesOfAnEarlierRunBeyondThisRunsCountStay) {
    Articles(3);
    folder.Write("artikelstamm2.csv", "old");
    EXPECT_EQ(Export(), 1);
    EXPECT_EQ(Read("artikelstamm2.csv"), "old");
}

TEST_F(ArticleSplitTest, ReadOnlyFileIsReplaced) {
    Articles(1);
    const auto file = folder.Write("artikelstamm1.csv", "old content that is longer than the new one\r\n");
    std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    EXPECT_EQ(Export(), 1);
    std::vector<std::string> fields(32);
    fields[0] = "0";
    fields[14] = "Alles";
    EXPECT_EQ(Read("artikelstamm1.csv"), kArticleHeader + Record(fields));
}

TEST(ArticleHeaderTest, ShopColumnsAsTheyStandThenTheTwoFlags) {
    FieldMapping mapping{{" Spalte A ", "", "", ""}, {"b\"c", "", "", ""}};
    EXPECT_EQ(ArticleHeaderLine(mapping), "\" Spalte A \",\"b\"c\",\"angebot\",\"angebot_handler\"");
}

// Each file is closed before the next begins; the records go through one write per line.
TEST(ArticleFileWriterTest, FilesAreClosedInTurn) {
    FailingFolder folder;
    ArticleFileWriter writer(folder, "/p", "\"h\"");
    writer.WriteRecord(0, "\"0\"");
    writer.WriteRecord(999, "\"999\"");
    writer.WriteRecord(1000, "\"1000\"");
    writer.Finish();
    EXPECT_EQ(folder.log, (std::vector<std::string>{"replace artikelstamm1.csv", "write \"h\"\r\n", "write \"0\"\r\n",
                                                    "write \"999\"\r\n", "close", "replace artikelstamm2.csv",
                                                    "write \"h\"\r\n", "write \"1000\"\r\n", "close"}));
    EXPECT_EQ(writer.articleFileCount(), 2);
}

TEST(ArticleFileWriterTest, CloseFailureNamesTheFile) {
    FailingFolder folder;
    folder.failClose = true;
    ArticleFileWriter writer(folder, "/p", "\"h\"");
    writer.WriteRecord(0, "\"0\"");
    EXPECT_THROW(writer.Finish(), FileWriteError);
}

TEST(ShopCsvFileTest, Windows1252WithQuestionMarksForWhatItLacks) {
    FailingFolder folder;
    {
        ShopCsvFile file(folder, "/p/a.csv");
        // ä, the euro sign, an emoji (not in the code page), an invalid byte, a cut-off sequence.
        file.WriteLine(
            "a\xC3\xA4"
            "b\xE2\x82\xAC"
            "c\xF0\x9F\x98\x80"
            "d\xFF"
            "e\xC3");
        file.WriteLine("");
        file.Close();
    }
    EXPECT_EQ(folder.contents["a.csv"],
              "a\xE4"
              "b\x80"
              "c?d?e?\r\n\r\n");
}

TEST(LocalDiskTest, FolderThatCannotHoldTheFile) {
    TempFolder folder;
    std::filesystem::create_directory(folder / "artikelstamm1.csv");
    EXPECT_EQ(LocalDisk().Replace(folder / "artikelstamm1.csv"), nullptr);
    EXPECT_EQ(LocalDisk().Replace(folder / "missing" / "artikelstamm1.csv"), nullptr);
}

}  // namespace
}  // namespace warenkai::test
