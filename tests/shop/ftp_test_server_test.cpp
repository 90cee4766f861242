#include "tests/support/ftp_test_server.h"

#include <csignal>
#include <gtest/gtest.h>

namespace warenkai::test {
namespace {

TEST(FtpTestServerTest, StartsOnAFreePortAndServesItsRootFolder) {
    FtpTestServer server;
    ASSERT_TRUE(server.Running()) << server.StartError();
    EXPECT_GT(server.Port(), 0);
    EXPECT_EQ(server.Address(), "127.0.0.1:" + std::to_string(server.Port()));

    server.WriteFile("/shop/a b.csv", "x;y\r\n");
    EXPECT_EQ(server.PathOf("/shop/a b.csv"), server.Root() / "shop" / "a b.csv");
    EXPECT_EQ(server.ReadFile("/shop/a b.csv"), "x;y\r\n");
    EXPECT_TRUE(server.Exists("/shop"));
    EXPECT_EQ(server.ReadFile("/shop/missing.csv"), std::nullopt);
}

TEST(FtpTestServerTest, StopEndsTheProcessAndTheDestructorRemovesTheFolder) {
    std::filesystem::path root;
    {
        FtpTestServer server;
        ASSERT_TRUE(server.Running()) << server.StartError();
        root = server.Root();
        server.Stop();
        EXPECT_FALSE(server.Running());
        server.Stop();  // a second stop does nothing
    }
    EXPECT_FALSE(std::filesystem::exists(root));
}

}  // namespace
}  // namespace warenkai::test
