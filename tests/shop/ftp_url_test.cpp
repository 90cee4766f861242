#include "shop/curl/ftp_url.h"

#include <gtest/gtest.h>

namespace warenkai {
namespace {

TEST(FtpUrlTest, ServerFormsGiveTheLogInFolderAndTheTls) {
    struct Row {
        const char* server;
        const char* url;
        FtpTls tls;
    };
    const Row rows[] = {
        {"ftp.shop.de", "ftp://ftp.shop.de/", FtpTls::None},
        {"127.0.0.1:2121", "ftp://127.0.0.1:2121/", FtpTls::None},
        {"[::1]:21", "ftp://[::1]:21/", FtpTls::None},
        {"bücher.de", "ftp://bücher.de/", FtpTls::None},
        {"ftp://ftp.shop.de", "ftp://ftp.shop.de/", FtpTls::None},
        {"ftp://ftp.shop.de:2121", "ftp://ftp.shop.de:2121/", FtpTls::None},
        {"ftpes://ftp.shop.de", "ftp://ftp.shop.de/", FtpTls::Explicit},
        {"FTPES://ftp.shop.de:2121", "ftp://ftp.shop.de:2121/", FtpTls::Explicit},
        {"ftps://ftp.shop.de", "ftps://ftp.shop.de/", FtpTls::Implicit},
        {"ftps://[::1]:990", "ftps://[::1]:990/", FtpTls::Implicit},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FtpServerUrl(row.server), row.url) << row.server;
        EXPECT_EQ(FtpServerTls(row.server), row.tls) << row.server;
    }
}

TEST(FtpUrlTest, ServerTextThatWouldChangeTheAddressIsRefused) {
    for (const char* server :
         {"", "host/", "/host", "user@host", "host name", "host?x", "host#x", "host%41", "host\\x", "host\r\nQUIT",
          "http://x", "sftp://x", "ftpes:/x", "ftpes://", "ftps://host/", "ftp://user@host", "ftpes://ftps://x"}) {
        EXPECT_EQ(FtpServerUrl(server), std::nullopt) << server;
        EXPECT_EQ(FtpServerTls(server), std::nullopt) << server;
    }
}

TEST(FtpUrlTest, FilePathsKeepAbsoluteOrRelativeAndEscapeEverySegmentButNotTheSlashes) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"/shop/config/bilder_artikel/a.jpg", "ftp://h/%2Fshop/config/bilder_artikel/a.jpg"},
        {"/a.csv", "ftp://h/%2Fa.csv"},
        {"a.csv", "ftp://h/a.csv"},
        {"/mein shop/Bild #1 100% ä?.jpg", "ftp://h/%2Fmein%20shop/Bild%20%231%20100%25%20%C3%A4%3F.jpg"},
        {"a-b_c.d~e/%2F+@:;", "ftp://h/a-b_c.d~e/%252F%2B%40%3A%3B"},
    };
    for (const auto& [path, url] : rows) {
        EXPECT_EQ(FtpFileUrl("h", path), url) << path;
    }
    EXPECT_EQ(FtpFileUrl("h:21", "shop/a.csv"), "ftp://h:21/shop/a.csv");
    EXPECT_EQ(FtpFileUrl("ftpes://h", "/a.csv"), "ftp://h/%2Fa.csv");
    EXPECT_EQ(FtpFileUrl("ftps://h:990", "/a.csv"), "ftps://h:990/%2Fa.csv");
}

TEST(FtpUrlTest, FolderPathsAndControlCharactersAreRefused) {
    for (const std::string& path : std::vector<std::string>{"", "/shop/", "/shop/a.csv\r\nDELE x", "/shop/a\n.csv",
                                                            "/shop/a\x7F.csv", std::string("/shop/a\0.csv", 12)}) {
        EXPECT_EQ(FtpFileUrl("h", path), std::nullopt) << path;
    }
    EXPECT_EQ(FtpFileUrl("bad host", "/a.csv"), std::nullopt);
}

}  // namespace
}  // namespace warenkai
