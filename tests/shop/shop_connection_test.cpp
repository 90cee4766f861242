#include "shop/shop_connection.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/support/fake_transfer_world.h"

namespace warenkai::test {
namespace {

using Lines = std::vector<std::string>;

class ShopConnectionTest : public ::testing::Test, protected FakeTransferWorld {
protected:
    ShopConnectionTest() {
        settings.ftpServer = "ftp.example.com:2121";
        settings.ftpUser = " Jörg M@ier ";
        settings.ftpPassword = "ge@heim:/ ";
        settings.passiveMode = true;
    }

    bool Connect(const ShopConnectionOptions& options) {
        return ShopConnection(settings, context, options, [this] { journal.Add("transfers"); });
    }

    // The options each caller passes.
    static ShopConnectionOptions ArticleUpload() { return {}; }
    static ShopConnectionOptions PictureUpload(const Settings& settings, const std::string& name) {
        ShopConnectionOptions options;
        options.connectionFlags = settings.passiveMode ? kPassiveModeFlag : 0;
        options.announce = false;
        options.setBinaryTransferType = true;
        options.failureErrorLine = "Fehler: Verbindung konnte nicht aufgebaut werden. " + name;
        return options;
    }
    static ShopConnectionOptions ShopExportDownload() {
        ShopConnectionOptions options;
        options.connectionFlags = kPassiveModeFlag;
        return options;
    }
};

TEST_F(ShopConnectionTest, AnnouncesConnectsReportsTransfersAndDisconnects) {
    EXPECT_TRUE(Connect(ArticleUpload()));
    EXPECT_EQ(journal.Entries(), (Lines{
                                     "status: Verbinde mit Webserver",
                                     "ftp connect ftp.example.com:2121| Jörg M@ier |ge@heim:/ |0x00000000",
                                     "status: Verbindung erfolgreich",
                                     "transfers",
                                     "ftp disconnect",
                                 }));
}

TEST_F(ShopConnectionTest, PictureUploadSetsBinaryTypeBeforeTheStatusAndDoesNotAnnounce) {
    EXPECT_TRUE(Connect(PictureUpload(settings, "a.jpg")));
    settings.passiveMode = false;
    EXPECT_TRUE(Connect(PictureUpload(settings, "b.jpg")));
    const Lines once = {"ftp connect ftp.example.com:2121| Jörg M@ier |ge@heim:/ |0x08000000", "ftp transfertype 2",
                        "status: Verbindung erfolgreich", "transfers", "ftp disconnect"};
    Lines expected = once;
    expected.insert(expected.end(), once.begin(), once.end());
    expected[5] = "ftp connect ftp.example.com:2121| Jörg M@ier |ge@heim:/ |0x00000000";
    EXPECT_EQ(journal.Entries(), expected);
}

TEST_F(ShopConnectionTest, FailedConnectReportsWithoutYieldTransfersOrDisconnect) {
    ftp.connectResults = {false, false};
    EXPECT_FALSE(Connect(ShopExportDownload()));
    EXPECT_FALSE(Connect(PictureUpload(settings, "a b.jpg")));
    EXPECT_EQ(journal.Entries(), (Lines{
                                     "status: Verbinde mit Webserver",
                                     "ftp connect ftp.example.com:2121| Jörg M@ier |ge@heim:/ |0x08000000",
                                     "status: Verbindung konnte nicht aufgebaut werden",
                                     "ftp connect ftp.example.com:2121| Jörg M@ier |ge@heim:/ |0x08000000",
                                     "status: Verbindung konnte nicht aufgebaut werden",
                                     "error: Fehler: Verbindung konnte nicht aufgebaut werden. a b.jpg",
                                 }));
}

TEST_F(ShopConnectionTest, AnErrorInTheTransfersStillDisconnects) {
    EXPECT_THROW(ShopConnection(settings, context, ArticleUpload(), [] { throw std::runtime_error("Fehler"); }),
                 std::runtime_error);
    EXPECT_EQ(journal.Entries().back(), "ftp disconnect");
}

// A control that throws instead of answering counts as not connected.
class ThrowingFtpControl final : public FtpControl {
public:
    bool connect(const std::string&, const std::string&, const std::string&, std::int32_t) override {
        throw std::runtime_error("kaputt");
    }
    bool upload(const std::filesystem::path&, const std::string&, std::int32_t) override { return false; }
    bool download(const std::filesystem::path&, const std::string&) override { return false; }
    void disconnect() override { ++disconnects; }
    void setTransfertype(std::int32_t) override {}
    int disconnects = 0;
};

TEST_F(ShopConnectionTest, AControlThatThrowsAtConnectCountsAsNotConnected) {
    ThrowingFtpControl throwing;
    TransferContext throwingContext{status, dialogs, web, throwing, nullptr, {}, cancel};
    bool ran = false;
    EXPECT_FALSE(ShopConnection(settings, throwingContext, ArticleUpload(), [&] { ran = true; }));
    EXPECT_FALSE(ran);
    EXPECT_EQ(throwing.disconnects, 0);
    EXPECT_EQ(status.statusText, "Verbindung konnte nicht aufgebaut werden");
}

}  // namespace
}  // namespace warenkai::test
