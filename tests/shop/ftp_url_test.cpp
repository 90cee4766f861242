#include "shop/curl/ftp_url.h"

#include <gtest/gtest.h>

namespace warenkai {
namespace {

// Text that would change the address's other parts is refused.
TEST(FtpUrlTest, ServerFormsGiveTheLogInFolderAndTheTls) {
    const struct {
        const char* server;
        std::optional<std::string> url;
        std::optional<FtpTls> tls;
    } rows[] = {
        // clang-format off
        {"ftp.shop.de", "ftp://ftp.shop.de/", FtpTls::None}, {"bücher.de", "ftp://bücher.de/", FtpTls::None},
        {"[::1]:21", "ftp://[::1]:21/", FtpTls::None}, {"ftps://[::1]:990", "ftps://[::1]:990/", FtpTls::Implicit},
        {"ftp://ftp.shop.de:2121", "ftp://ftp.shop.de:2121/", FtpTls::None},
        {"FTPES://ftp.shop.de:2121", "ftp://ftp.shop.de:2121/", FtpTls::Explicit},
        // clang-format on
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FtpServerUrl(row.server), row.url) << row.server;
        EXPECT_EQ(FtpServerTls(row.server), row.tls) << row.server;
    }
    for (const char* server :
         {"", "host/", "/host", "user@host", "host name", "host?x", "host#x", "host%41", "host\\x", "host\r\nQUIT",
          "http://x", "sftp://x", "ftpes:/x", "ftpes://", "ftps://host/", "ftp://user@host", "ftpes://ftps://x"}) {
        EXPECT_EQ(FtpServerUrl(server), std::nullopt) << server;
        EXPECT_EQ(FtpServerTls(server), std::nullopt) << server;
    }
}

// Folders and control characters are refused. (The file addresses on ftpes:// and ftps:// servers are
// shown by the TLS transfers in curl_ftp_control_test.cpp.)
TEST(FtpUrlTest, FilePathsKeepAbsoluteOrRelativeAndEscapeEverySegmentButNotTheSlashes) {
    const std::pair<std::string, std::optional<std::string>> rows[] = {
        {"/shop/config/a.jpg", "ftp://h/%2Fshop/config/a.jpg"},
        {"a.csv", "ftp://h/a.csv"},
        {"/mein shop/Bild #1 100% ä?.jpg", "ftp://h/%2Fmein%20shop/Bild%20%231%20100%25%20%C3%A4%3F.jpg"},
        {"a-b_c.d~e/%2F+@:;", "ftp://h/a-b_c.d~e/%252F%2B%40%3A%3B"},
        // clang-format off
        {"", std::nullopt}, {"/shop/", std::nullopt}, {"/shop/a.csv\r\nDELE x", std::nullopt},
        {"/shop/a\x7F.csv", std::nullopt}, {std::string("/shop/a\0.csv", 12), std::nullopt},
        // clang-format on
    };
    for (const auto& [path, url] : rows) {
        EXPECT_EQ(FtpFileUrl("h", path), url) << path;
    }
}

}  // namespace
}  // namespace warenkai
