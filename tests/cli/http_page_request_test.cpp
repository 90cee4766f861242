#include "shop/curl/http_page_request.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/cli/demo_shop_process.h"

namespace warenkai::test {
namespace {

// A port of 127.0.0.1 that listens (when `listen` is set) but never accepts or answers, or that
// nobody listens on.
class LocalPort {
public:
    explicit LocalPort(bool listen) {
        m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        if (listen) {
            ::listen(m_socket, 4);
        } else {
            ::close(m_socket);
            m_socket = -1;
        }
    }
    ~LocalPort() {
        if (m_socket >= 0) {
            ::close(m_socket);
        }
    }
    int Port() const { return m_port; }

private:
    int m_socket = -1;
    int m_port = 0;
};

TEST(HttpPageResult, DescribesTheStatusOrTheError) {
    HttpPageResult answered;
    answered.status = 500;
    EXPECT_EQ(answered.Describe(), "HTTP 500");
    EXPECT_FALSE(answered.Succeeded());
    answered.status = 204;
    EXPECT_TRUE(answered.Succeeded());
    answered.status = 302;
    EXPECT_FALSE(answered.Succeeded());

    HttpPageResult failed;
    failed.error = "Connection refused";
    EXPECT_EQ(failed.Describe(), "Connection refused");
    EXPECT_FALSE(failed.Succeeded());
}

class HttpPageRequestWithShop : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(shop.Running()) << shop.StartError(); }
    DemoShopProcess shop;
};

TEST_F(HttpPageRequestWithShop, TheExportPageAnswers200OnceItHasWrittenItsFiles) {
    const auto result = RequestHttpPage(shop.ShopLink() + "/login/admin/sonstiges/export/export2.php");
    EXPECT_EQ(result.status, 200);
    EXPECT_EQ(result.error, "");
    EXPECT_TRUE(result.Succeeded());
    EXPECT_TRUE(std::filesystem::is_regular_file(shop.ExportFolder() / "Exportkunde.csv"));
    EXPECT_TRUE(std::filesystem::is_regular_file(shop.ExportFolder() / "Exportbestellung.csv"));
}

TEST_F(HttpPageRequestWithShop, ErrorAnswersCarryTheirStatus) {
    const auto missing =
        RequestHttpPage(shop.ShopLink() + "/login/admin/sonstiges/import/import2.php?Autowert=fehlt.csv&Tabelle=artikel");
    EXPECT_EQ(missing.status, 404);
    EXPECT_EQ(missing.error, "");
    EXPECT_EQ(missing.Describe(), "HTTP 404");
    EXPECT_FALSE(missing.Succeeded());
    EXPECT_EQ(shop.Requests(), (std::vector<std::string>{
                                   "/shop/login/admin/sonstiges/import/import2.php?Autowert=fehlt.csv&Tabelle=artikel 404"}));
}

TEST_F(HttpPageRequestWithShop, RedirectsAreFollowed) {
    const auto result = RequestHttpPage("http://127.0.0.1:" + std::to_string(shop.HttpPort()) + "/");
    EXPECT_EQ(result.status, 200);
    EXPECT_EQ(shop.Requests(), (std::vector<std::string>{"/ 302", "/shop/ 200"}));
}

TEST_F(HttpPageRequestWithShop, AnAddressWithoutSchemeIsTakenAsHttp) {
    const auto result = RequestHttpPage("127.0.0.1:" + std::to_string(shop.HttpPort()) + "/shop/");
    EXPECT_EQ(result.status, 200);
}

TEST(HttpPageRequest, ARefusedConnectionGivesCurlsText) {
    const LocalPort nobody(false);
    const auto result = RequestHttpPage("http://127.0.0.1:" + std::to_string(nobody.Port()) + "/shop");
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(result.error.starts_with("Failed to connect to 127.0.0.1 port " + std::to_string(nobody.Port())))
        << result.error;
    EXPECT_FALSE(result.Succeeded());
}

TEST(HttpPageRequest, AServerThatNeverAnswersEndsInTheTimeOut) {
    const LocalPort silent(true);
    HttpPageOptions options;
    options.totalTimeout = std::chrono::milliseconds(300);
    const auto result = RequestHttpPage("http://127.0.0.1:" + std::to_string(silent.Port()) + "/shop", options);
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
