#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "export/article_export.h"
#include "export/article_file_writer.h"
#include "export/article_groups.h"
#include "export/shop_csv_file.h"
#include "tests/export/export_fixture.h"
#include "tests/export/failing_folder.h"

namespace warenkai::test {
namespace {

// Counts the lines of a file and checks that every one has the header's field count.
struct FileShape {
    std::size_t lines = 0;
    std::string firstRecord;
    std::string lastRecord;
};

FileShape ShapeOf(const std::string& bytes) {
    FileShape shape;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const auto end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "last line without CR LF";
            break;
        }
        const std::string line = bytes.substr(start, end - start);
        EXPECT_EQ(std::count(line.begin(), line.end(), '"'), 64) << line;
        if (shape.lines == 0) {
            EXPECT_EQ(line + "\r\n", kArticleHeader);
        } else {
            if (shape.lines == 1) {
                shape.firstRecord = line.substr(1, line.find('"', 1) - 1);
            }
            shape.lastRecord = line.substr(1, line.find('"', 1) - 1);
        }
        ++shape.lines;
        start = end + 2;
    }
    return shape;
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
        return ExportArticles(settings, context, session);
    }

    void ExpectFile(int number, std::size_t records, const std::string& first, const std::string& last) {
        const FileShape shape = ShapeOf(Read("artikelstamm" + std::to_string(number) + ".csv"));
        EXPECT_EQ(shape.lines, records + 1) << number;
        EXPECT_EQ(shape.firstRecord, first) << number;
        EXPECT_EQ(shape.lastRecord, last) << number;
    }
};

TEST_F(ArticleSplitTest, ANewFileEveryThousandPasses) {
    Articles(2500);
    EXPECT_EQ(Export(), 3);
    ExpectFile(1, 1000, "0", "999");
    ExpectFile(2, 1000, "1000", "1999");
    ExpectFile(3, 500, "2000", "2499");
    EXPECT_EQ(Read("artikelstamm4.csv"), "<missing>");
}

TEST_F(ArticleSplitTest, ARejectedArticleAtPassThousandBeginsNoFile) {
    Articles(2500);
    Reject(1000);
    EXPECT_EQ(Export(), 2);
    ExpectFile(1, 1999, "0", "1999");
    ExpectFile(2, 500, "2000", "2499");
}

TEST_F(ArticleSplitTest, ArticleWithoutGroupAtPassThousandBeginsNoFile) {
    Articles(1500);
    Map("obergruppe", "Artikelnummer");
    database->Table("AR").rows[1000]["Artikelnummer"] = Variant("   ");
    EXPECT_EQ(Export(), 1);
    ExpectFile(1, 1499, "0", "1499");
}

TEST_F(ArticleSplitTest, FirstArticleRejected) {
    Articles(1500);
    Reject(0);
    EXPECT_EQ(Export(), 2);
    ExpectFile(1, 999, "1", "999");
    ExpectFile(2, 500, "1000", "1499");
}

TEST_F(ArticleSplitTest, ExactlyOneThousandArticles) {
    Articles(1000);
    EXPECT_EQ(Export(), 1);
    ExpectFile(1, 1000, "0", "999");
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

TEST_F(ArticleSplitTest, ReadOnlyGroupFileIsReplaced) {
    const auto file = folder.Write("artikelgruppe.csv", "old");
    std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    SelectlineSession session = OpenSession();
    ExportArticleGroups(settings, context, session);
    EXPECT_EQ(Read("artikelgruppe.csv"), "\"obergruppe\",\"untergruppe\"\r\n");
}

TEST(ArticleFileNameTest, InTheProgramFolder) {
    EXPECT_EQ(ArticleFilePath("/opt/warenkai", 12), std::filesystem::path("/opt/warenkai/artikelstamm12.csv"));
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
    EXPECT_EQ(folder.log, (std::vector<std::string>{"replace /p/artikelstamm1.csv", "write \"h\"\r\n",
                                                    "write \"0\"\r\n", "write \"999\"\r\n", "close",
                                                    "replace /p/artikelstamm2.csv", "write \"h\"\r\n",
                                                    "write \"1000\"\r\n", "close"}));
    EXPECT_EQ(writer.articleFileCount(), 2);
}

TEST(ArticleFileWriterTest, WriteFailureNamesTheFile) {
    FailingFolder folder;
    folder.failWritesAfter = 2;
    ArticleFileWriter writer(folder, "/p", "\"h\"");
    writer.WriteRecord(0, "\"0\"");
    try {
        writer.WriteRecord(1, "\"1\"");
        FAIL() << "no error";
    } catch (const FileWriteError& error) {
        EXPECT_STREQ(error.what(), "Die Datei /p/artikelstamm1.csv konnte nicht geschrieben werden");
    }
}

TEST(ArticleFileWriterTest, CloseFailureNamesTheFile) {
    FailingFolder folder;
    folder.failClose = true;
    ArticleFileWriter writer(folder, "/p", "\"h\"");
    writer.WriteRecord(0, "\"0\"");
    EXPECT_THROW(writer.Finish(), FileWriteError);
}

TEST(ArticleFileWriterTest, FileThatCannotBeCreated) {
    FailingFolder folder;
    folder.failCreate = true;
    ArticleFileWriter writer(folder, "/p", "\"h\"");
    try {
        writer.WriteRecord(0, "\"0\"");
        FAIL() << "no error";
    } catch (const FileWriteError& error) {
        EXPECT_STREQ(error.what(), "Die Datei /p/artikelstamm1.csv konnte nicht geschrieben werden");
    }
}

TEST(ArticleFileWriterTest, OpenFileIsClosedWhenTheWriterIsDropped) {
    FailingFolder folder;
    {
        ArticleFileWriter writer(folder, "/p", "\"h\"");
        writer.WriteRecord(0, "\"0\"");
    }
    EXPECT_EQ(folder.log.back(), "close");
}

TEST(ShopCsvFileTest, Windows1252WithQuestionMarksForWhatItLacks) {
    FailingFolder folder;
    {
        ShopCsvFile file(folder, "/p/a.csv");
        // ä, the euro sign, an emoji (not in the code page), an invalid byte, a cut-off sequence.
        file.WriteLine("a\xC3\xA4" "b\xE2\x82\xAC" "c\xF0\x9F\x98\x80" "d\xFF" "e\xC3");
        file.WriteLine("");
        file.Close();
    }
    EXPECT_EQ(folder.contents["a.csv"], "a\xE4" "b\x80" "c?d?e?\r\n\r\n");
}

TEST(LocalDiskTest, FolderThatCannotHoldTheFile) {
    TempFolder folder;
    std::filesystem::create_directory(folder / "artikelstamm1.csv");
    EXPECT_EQ(LocalDisk().Replace(folder / "artikelstamm1.csv"), nullptr);
    EXPECT_EQ(LocalDisk().Replace(folder / "missing" / "artikelstamm1.csv"), nullptr);
}

TEST(LocalDiskTest, SymbolicLinkIsReplacedNotFollowed) {
    TempFolder folder;
    folder.Write("target.txt", "keep");
    std::filesystem::create_symlink(folder / "target.txt", folder / "artikelstamm1.csv");
    auto file = LocalDisk().Replace(folder / "artikelstamm1.csv");
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->Write("new"));
    EXPECT_TRUE(file->Close());
    EXPECT_EQ(folder.Read("target.txt"), "keep");
    EXPECT_EQ(folder.Read("artikelstamm1.csv"), "new");
}

}  // namespace
}  // namespace warenkai::test
