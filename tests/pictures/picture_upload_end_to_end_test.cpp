#include <gtest/gtest.h>

#include "common/transfer_context.h"
#include "pictures/picture_upload.h"
#include "settings/settings.h"
#include "shop/curl/curl_ftp_control.h"
#include "tests/support/fake_transfer_world.h"
#include "tests/support/memory_selectline.h"
#include "tests/support/silent_port.h"
#include "tests/support/temp_folder.h"

namespace warenkai::test {
namespace {

// The picture upload of the window through the libcurl control, against a server that never answers.
class PictureUploadEndToEndTest : public ::testing::Test, protected WindowFakes {
protected:
    TransferOutcome Run(std::chrono::milliseconds connectTimeout) {
        CurlFtpOptions options;
        options.connectTimeout = connectTimeout;
        const auto ftp = MakeCurlFtpControlWith(options);
        TransferContext context{status, dialogs, web, *ftp, MakeMemorySelectline(std::make_shared<MemoryDatabase>()),
                                {},     cancel};
        return UploadPictures(settings, context);
    }

    TempFolder pictures;
    Settings settings;
};

TEST_F(PictureUploadEndToEndTest, AServerThatNeverAnswersCostsOneTimeOutAndEveryPictureIsListed) {
    SilentPort silent;
    settings.ftpServer = "127.0.0.1:" + std::to_string(silent.port);
    settings.pictureFolder = pictures.path().string();
    for (int i = 1; i <= 20; ++i) {
        pictures.Write("bild" + std::to_string(100 + i) + ".jpg", "x");
    }
    EXPECT_EQ(Run(std::chrono::milliseconds(300)), TransferOutcome::Completed);
    EXPECT_EQ(silent.Connections(), 1);
    ASSERT_EQ(status.errors.size(), 20u);
    EXPECT_EQ(status.errors[19], "Fehler: Verbindung konnte nicht aufgebaut werden. bild120.jpg");
    EXPECT_NE(status.causes[0].find("timed out"), std::string::npos) << status.causes[0];
}

}  // namespace
}  // namespace warenkai::test
