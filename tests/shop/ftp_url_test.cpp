#include "shop/curl/ftp_url.h"

#include <gtest/gtest.h>

#include "tests/support/test_data.h"

namespace warenkai::test {
namespace {

// tests/data/shop/ftp_urls.txt: server settings with their log-in folder and TLS, file paths with their
// address. (The file addresses on ftpes:// and ftps:// servers are shown by the TLS transfers in
// curl_ftp_control_test.cpp.)
TEST(FtpUrlTest, ServerFormsAndFilePathsGiveTheirAddressesOrAreRefused) {
    const char* const tlsNames[] = {"None", "Explicit", "Implicit"};
    for (const auto& [input, expected] : Cases("shop/ftp_urls.txt")) {
        const std::string value = input.substr(input.find(' ') + 1);
        const auto tls = FtpServerTls(value);
        const std::string seen = input.starts_with("file ") ? FtpFileUrl("h", value).value_or("-")
                                                            : FtpServerUrl(value).value_or("-") + " " +
                                                                  (tls ? tlsNames[static_cast<int>(*tls)] : "-");
        EXPECT_EQ(Lines{seen}, expected) << input;
    }
}

}  // namespace
}  // namespace warenkai::test
