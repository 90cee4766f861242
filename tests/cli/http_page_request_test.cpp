#include "shop/curl/http_page_request.h"

#include <gtest/gtest.h>

#include "tests/cli/cli_harness.h"
#include "tests/support/silent_port.h"

namespace warenkai::test {
namespace {

TEST(HttpPageRequest, RedirectsAreFollowedAndAnAddressWithoutSchemeIsTakenAsHttp) {
    DemoShop shop;
    ASSERT_TRUE(shop.Running()) << shop.startError;
    const std::string host = "127.0.0.1:" + std::to_string(shop.httpPort);
    EXPECT_EQ(RequestHttpPage("http://" + host + "/").status, 200);
    EXPECT_EQ(RequestHttpPage(host + "/shop/").status, 200);
    EXPECT_EQ(shop.Requests(), "/ 302\n/shop/ 200\n/shop/ 200\n");
}

TEST(HttpPageRequest, AServerThatNeverAnswersEndsInTheTimeOut) {
    SilentPort silent;
    HttpPageOptions options;
    options.totalTimeout = std::chrono::milliseconds(300);
    const auto result = RequestHttpPage("http://127.0.0.1:" + std::to_string(silent.port) + "/shop", options);
    EXPECT_TRUE(result.unreachable);
    EXPECT_NE(result.error.find("timed out"), std::string::npos) << result.error;
}

TEST(HttpPageRequest, OnlyWebAddressesAreRequested) {
    for (const char* address :
         {"file:///etc/passwd", "ftp://127.0.0.1/shop", "/login/admin/sonstiges/export/export2.php", ""}) {
        const auto result = RequestHttpPage(address);
        EXPECT_FALSE(result.Succeeded()) << address;
        EXPECT_FALSE(result.error.empty()) << address;
    }
}

}  // namespace
}  // namespace warenkai::test
