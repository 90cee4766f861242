// The picture folder on POSIX systems, where links stand beside files.
#include "pictures/picture_list.h"

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

namespace warenkai::test {
namespace {

// A link to a picture is sent like the picture; a link to nothing is left out.
TEST(PictureListTest, ALinkCountsAsItsFileAndABrokenOneIsLeftOut) {
    TempFolder folder;
    folder.Write("a.jpg", "x");
    std::filesystem::create_symlink(folder / "a.jpg", folder / "verweis.jpg");
    std::filesystem::create_symlink(folder / "fehlt.jpg", folder / "kaputt.jpg");
    EXPECT_EQ(ListPictureFiles(folder.path().string()), (std::vector<std::string>{"a.jpg", "verweis.jpg"}));
}

}  // namespace
}  // namespace warenkai::test
