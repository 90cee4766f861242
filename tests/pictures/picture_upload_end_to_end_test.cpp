#include <gtest/gtest.h>

#include <random>

#include "common/transfer_context.h"
#include "pictures/picture_upload.h"
#include "settings/settings.h"
#include "shop/curl/curl_ftp_control.h"
#include "tests/support/fake_transfer_world.h"
#include "tests/support/ftp_test_server.h"
#include "tests/support/memory_selectline.h"
#include "tests/support/silent_port.h"
#include "tests/support/temp_folder.h"

namespace warenkai::test {
namespace {

using Lines = std::vector<std::string>;

std::string PictureBytes(std::size_t size, unsigned pattern) {
    std::mt19937 generator(pattern);
    std::string bytes(size, '\0');
    for (auto& byte : bytes) {
        byte = static_cast<char>(generator() & 0xFF);
    }
    return bytes;
}

// The picture upload of the window against a real FTP server, through the libcurl control.
class PictureUploadEndToEndTest : public ::testing::Test, protected WindowFakes {
protected:
    void Start(FtpServerOptions options = {}) {
        server = std::make_unique<FtpTestServer>(std::move(options));
        ASSERT_TRUE(server->Running()) << server->StartError();
        server->MakeFolder("/shop/config/bilder_artikel");
        settings.ftpServer = server->Address();
        settings.ftpUser = FtpTestServer::kUser;
        settings.ftpPassword = FtpTestServer::kPassword;
        settings.shopRoot = "/shop";
        settings.pictureFolder = pictures.path().string();
    }

    TransferOutcome Run(std::chrono::milliseconds connectTimeout = std::chrono::seconds(5)) {
        CurlFtpOptions options;
        options.connectTimeout = connectTimeout;
        options.responseTimeout = std::chrono::seconds(5);
        options.stallTimeout = std::chrono::seconds(2);
        const auto ftp = MakeCurlFtpControlWith(options);
        TransferContext context{status, dialogs, web, *ftp, MakeMemorySelectline(std::make_shared<MemoryDatabase>()),
                                {},     cancel};
        return UploadPictures(settings, context);
    }

    static Lines FileStored(const std::string& name, int position, int count) {
        return {"status: Verbindung erfolgreich",
                "status: Übertrage die Datei " + name + " (" + std::to_string(position) + " von " +
                    std::to_string(count) + " Dateien)",
                "status: Datei erfolgreich übertragen"};
    }

    CancelRequest cancel;
    TempFolder pictures;
    std::unique_ptr<FtpTestServer> server;
    Settings settings;
};

const Lines kStart = {"errors cleared", "status: Verbinde mit Webserver"};

TEST_F(PictureUploadEndToEndTest, ThreeFilesArriveByteForByteOverAConnectionEach) {
    Start();
    settings.passiveMode = true;
    const Lines names = {"Stuhl rot ä.jpg", "a.jpg", "B.png"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        pictures.Write(names[i], PictureBytes(200000 + i, static_cast<unsigned>(i)));
    }
    pictures.Write("unterordner/x.jpg", "x");
    EXPECT_EQ(Run(), TransferOutcome::Completed);
    EXPECT_EQ(journal.Entries(), Join({kStart,
                                       FileStored("a.jpg", 1, 3),
                                       FileStored("B.png", 2, 3),
                                       FileStored("Stuhl rot ä.jpg", 3, 3),
                                       {"message: Fertig"}}));
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(server->ReadFile("/shop/config/bilder_artikel/" + names[i]),
                  PictureBytes(200000 + i, static_cast<unsigned>(i)))
            << names[i];
    }
    EXPECT_FALSE(server->Exists("/shop/config/bilder_artikel/x.jpg"));
    EXPECT_EQ(server->LogStarting("login ").size(), 3u);
    EXPECT_EQ(server->LogStarting("cmd QUIT").size(), 3u);
    EXPECT_EQ(server->LogStarting("cmd EPSV").size(), 3u);
}

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

TEST_F(PictureUploadEndToEndTest, PathChecksEndTheRunBeforeAnyConnection) {
    Start();
    settings.pictureFolder.clear();
    Run();
    settings.pictureFolder = (pictures / "fehlt").string();
    Run();
    settings.pictureFolder = pictures.path().string();
    Run();
    EXPECT_EQ(journal.Entries(), (Lines{"errors cleared", "message: Kein Pfad zu den Bildern vorhanden",
                                        "errors cleared", "message: Der Pfad zu den Bildern ist nicht gültig",
                                        "errors cleared", "status: Verbinde mit Webserver", "message: Fertig"}));
    EXPECT_TRUE(server->LogStarting("connect").empty());
}

}  // namespace
}  // namespace warenkai::test
