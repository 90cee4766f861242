#include "shop/curl/ftp_url.h"

#include <gtest/gtest.h>

namespace warenkai {
namespace {

TEST(FtpUrlTest, ServerWithOrWithoutPortGivesTheLogInFolder) {
    EXPECT_EQ(FtpServerUrl("ftp.shop.de"), "ftp://ftp.shop.de/");
    EXPECT_EQ(FtpServerUrl("127.0.0.1:2121"), "ftp://127.0.0.1:2121/");
    EXPECT_EQ(FtpServerUrl("[::1]:21"), "ftp://[::1]:21/");
    EXPECT_EQ(FtpServerUrl("bücher.de"), "ftp://bücher.de/");
}

TEST(FtpUrlTest, ServerTextThatWouldChangeTheAddressIsRefused) {
    for (const char* server : {"", "host/", "/host", "user@host", "host name", "host?x", "host#x", "host%41",
                               "host\\x", "host\r\nQUIT"}) {
        EXPECT_EQ(FtpServerUrl(server), std::nullopt) << server;
    }
}

TEST(FtpUrlTest, AbsolutePathsStayAbsolute) {
    EXPECT_EQ(FtpFileUrl("h", "/shop/config/bilder_artikel/a.jpg"), "ftp://h/%2Fshop/config/bilder_artikel/a.jpg");
    EXPECT_EQ(FtpFileUrl("h", "/a.csv"), "ftp://h/%2Fa.csv");
}

TEST(FtpUrlTest, RelativePathsStartInTheLogInFolder) {
    EXPECT_EQ(FtpFileUrl("h:21", "shop/a.csv"), "ftp://h:21/shop/a.csv");
    EXPECT_EQ(FtpFileUrl("h", "a.csv"), "ftp://h/a.csv");
}

TEST(FtpUrlTest, EverySegmentIsEscapedButNotTheSlashes) {
    EXPECT_EQ(FtpFileUrl("h", "/mein shop/Bild #1 100% ä?.jpg"),
              "ftp://h/%2Fmein%20shop/Bild%20%231%20100%25%20%C3%A4%3F.jpg");
    EXPECT_EQ(FtpFileUrl("h", "a-b_c.d~e/%2F+@:;"), "ftp://h/a-b_c.d~e/%252F%2B%40%3A%3B");
}

TEST(FtpUrlTest, FolderPathsAndControlCharactersAreRefused) {
    EXPECT_EQ(FtpFileUrl("h", ""), std::nullopt);
    EXPECT_EQ(FtpFileUrl("h", "/shop/"), std::nullopt);
    EXPECT_EQ(FtpFileUrl("h", "/shop/a.csv\r\nDELE x"), std::nullopt);
    EXPECT_EQ(FtpFileUrl("h", "/shop/a\n.csv"), std::nullopt);
    EXPECT_EQ(FtpFileUrl("h", std::string("/shop/a\0.csv", 12)), std::nullopt);
    EXPECT_EQ(FtpFileUrl("h", "/shop/a\x7F.csv"), std::nullopt);
    EXPECT_EQ(FtpFileUrl("bad host", "/a.csv"), std::nullopt);
}

}  // namespace
}  // namespace warenkai
