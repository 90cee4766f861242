#include "shop/curl/http_page_request.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/cli/demo_shop_process.h"

namespace warenkai::test {
namespace {

// A port of 127.0.0.1 that listens but never accepts or answers.
struct SilentPort {
    SilentPort() {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
        ::listen(socket, 4);
    }
    ~SilentPort() { ::close(socket); }
    int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    int port = 0;
};

class HttpPageRequestWithShop : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(shop.Running()) << shop.StartError(); }
    DemoShopProcess shop;
};

TEST_F(HttpPageRequestWithShop, RedirectsAreFollowedAndAnAddressWithoutSchemeIsTakenAsHttp) {
    EXPECT_EQ(RequestHttpPage("http://127.0.0.1:" + std::to_string(shop.HttpPort()) + "/").status, 200);
    EXPECT_EQ(RequestHttpPage("127.0.0.1:" + std::to_string(shop.HttpPort()) + "/shop/").status, 200);
    EXPECT_EQ(shop.Requests(), (std::vector<std::string>{"/ 302", "/shop/ 200", "/shop/ 200"}));
}

TEST(HttpPageRequest, AServerThatNeverAnswersEndsInTheTimeOut) {
    const SilentPort silent;
    HttpPageOptions options;
    options.totalTimeout = std::chrono::milliseconds(300);
    const auto result = RequestHttpPage("http://127.0.0.1:" + std::to_string(silent.port) + "/shop", options);
    EXPECT_FALSE(result.Succeeded());
    EXPECT_NE(result.error.find("timed out"), std::string::npos) << result.error;
}

TEST(HttpPageRequest, OnlyWebAddressesAreRequested) {
    for (const char* address : {"file:///etc/passwd", "ftp://127.0.0.1/shop", "/login/admin/sonstiges/export/export2.php",
                                ""}) {
        const auto result = RequestHttpPage(address);
        EXPECT_FALSE(result.Succeeded()) << address;
        EXPECT_FALSE(result.error.empty()) << address;
    }
}

}  // namespace
}  // namespace warenkai::test
