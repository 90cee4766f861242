#include "common/text_file.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

namespace warenkai {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

TEST(TextFile, AtomicWriteReplacesReadOnlyFileAndLeavesNoTemporary) {
    TempFolder folder;
    const auto file = folder.Write("a.csv", "old");
    fs::permissions(file, fs::perms::owner_read);
    ASSERT_TRUE(WriteFileAtomically(file, std::string("new\0bytes", 9)));
    EXPECT_EQ(folder.Read("a.csv"), std::string("new\0bytes", 9));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), {}), 1);
}

TEST(TextFile, AtomicWriteIntoAMissingFolderFails) {
    TempFolder folder;
    EXPECT_FALSE(WriteFileAtomically(folder / "missing/a.csv", "x"));
}

TEST(TextFile, ReadWholeFileRefusesFoldersMissingAndOversizedFiles) {
    TempFolder folder;
    folder.Write("small", "12345");
    EXPECT_EQ(ReadWholeFile(folder / "small"), "12345");
    EXPECT_EQ(ReadWholeFile(folder / "small", 4), std::nullopt);
    EXPECT_EQ(ReadWholeFile(folder / "missing"), std::nullopt);
    EXPECT_EQ(ReadWholeFile(folder.path()), std::nullopt);
}

TEST(TextFile, RemoveFileForcedTakesReadOnlyFilesAndIgnoresTheMissing) {
    TempFolder folder;
    const auto file = folder.Write("k.csv", "x");
    fs::permissions(file, fs::perms::owner_read);
    RemoveFileForced(file);
    EXPECT_FALSE(fs::exists(file));
    RemoveFileForced(file);
    fs::create_directory(folder / "dir");
    RemoveFileForced(folder / "dir");  // not a file: left alone
    EXPECT_TRUE(fs::is_directory(folder / "dir"));
}

}  // namespace
}  // namespace warenkai
