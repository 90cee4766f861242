// The article files on POSIX systems, where a link can stand in a file's place.
#include "export/output_file.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

namespace warenkai::test {
namespace {

TEST(LocalDiskTest, SymbolicLinkIsReplacedNotFollowed) {
    TempFolder folder;
    folder.Write("target.txt", "keep");
    std::filesystem::create_symlink(folder / "target.txt", folder / "artikelstamm1.csv");
    auto file = LocalDisk().Replace(folder / "artikelstamm1.csv");
    ASSERT_TRUE(file && file->Write("new") && file->Close());
    EXPECT_EQ(folder.Read("target.txt"), "keep");
    EXPECT_EQ(folder.Read("artikelstamm1.csv"), "new");
}

}  // namespace
}  // namespace warenkai::test
