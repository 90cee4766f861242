// The three operations that connect to the shop, each with its own connection flags, whatever the
// "Passiv Modus" switch says for the other two.

#include <gtest/gtest.h>

#include "import/shop_export_download.h"
#include "pictures/picture_upload.h"
#include "shop/article_upload.h"
#include "tests/support/fake_transfer_world.h"

namespace warenkai::test {
namespace {

using Lines = std::vector<std::string>;

class ShopConnectionCallersTest : public ::testing::TestWithParam<bool>, protected FakeTransferWorld {
protected:
    ShopConnectionCallersTest() {
        SetShopAccess(settings);
        settings.pictureFolder = (folder / "bilder").string();
        settings.passiveMode = GetParam();
        folder.Write("bilder/a.jpg", "a");
    }

    Lines Connects() const { return journal.Starting("ftp connect"); }
};

TEST_P(ShopConnectionCallersTest, ArticleUploadAlwaysConnectsWithoutFlags) {
    ArticleUpload uploaded;
    UploadArticleFiles(settings, context, 1, uploaded);
    EXPECT_EQ(Connects(), Lines{"ftp connect ftp.example.com|shop|geheim|0x00000000"});
}

TEST_P(ShopConnectionCallersTest, PictureUploadAsksForPassiveModeOnlyWithTheSwitch) {
    UploadPictures(settings, context);
    EXPECT_EQ(Connects(), Lines{std::string("ftp connect ftp.example.com|shop|geheim|") +
                                (GetParam() ? "0x08000000" : "0x00000000")});
}

TEST_P(ShopConnectionCallersTest, ShopExportDownloadAlwaysAsksForPassiveMode) {
    DownloadShopExports(settings, context);
    EXPECT_EQ(Connects(), Lines{"ftp connect ftp.example.com|shop|geheim|0x08000000"});
}

TEST_P(ShopConnectionCallersTest, NoCallerDisconnectsAfterAFailedConnect) {
    ftp.connectResults = {false, false, false};
    ArticleUpload uploaded;
    UploadArticleFiles(settings, context, 1, uploaded);
    UploadPictures(settings, context);
    DownloadShopExports(settings, context);
    EXPECT_EQ(Connects().size(), 3u);
    EXPECT_TRUE(journal.Starting("ftp disconnect").empty());
    EXPECT_TRUE(journal.Starting("ftp upload").empty());
    EXPECT_TRUE(journal.Starting("ftp download").empty());
}

INSTANTIATE_TEST_SUITE_P(PassiveModeSwitch, ShopConnectionCallersTest, ::testing::Bool());

}  // namespace
}  // namespace warenkai::test
