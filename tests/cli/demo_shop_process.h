#pragma once

// The demo shop (tools/demo_shop.py) as a process for end-to-end tests: an FTP server and the
// shop's pages on free ports of 127.0.0.1, over a fresh temporary root folder. It is ended (and
// the folder removed) by the destructor, and ends by itself when the test process dies.
//
//     DemoShopProcess shop;
//     ASSERT_TRUE(shop.Running()) << shop.StartError();
//     settings.ftpServer = shop.FtpServer();  settings.shopLink = shop.ShopLink();
//     settings.shopRoot = "/shop";  settings.ftpUser = settings.ftpPassword = "demo";

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/child_process.h"

namespace warenkai::test {

struct DemoShopOptions {
    // Generated customers added to the customer export (numbers from 50001).
    int extraCustomers = 0;
};

class DemoShopProcess {
public:
    static constexpr const char* kUser = "demo";
    static constexpr const char* kPassword = "demo";
    static constexpr const char* kShopRoot = "/shop";

    explicit DemoShopProcess(DemoShopOptions options = {});
    ~DemoShopProcess();
    DemoShopProcess(const DemoShopProcess&) = delete;
    DemoShopProcess& operator=(const DemoShopProcess&) = delete;

    bool Running() const { return m_process.Running() && m_ftpPort != 0 && m_httpPort != 0; }
    const std::string& StartError() const { return m_startError; }

    // "127.0.0.1:<port>", for the ftpServer setting.
    std::string FtpServer() const;
    // "http://127.0.0.1:<port>/shop", for the shopLink setting.
    std::string ShopLink() const;
    int HttpPort() const { return m_httpPort; }

    // The folders the FTP user sees as /shop/login/admin/sonstiges/import/import and so on.
    std::filesystem::path ImportFolder() const;
    std::filesystem::path PictureFolder() const;
    std::filesystem::path ExportFolder() const;

    // The page requests so far, one line each: "<path and query> <status>".
    std::vector<std::string> Requests() const;
    // The demo shop's own diagnostics (its standard error).
    std::string Diagnostics() const;

    void Stop();

private:
    std::filesystem::path m_folder;
    ChildProcess m_process;
    int m_ftpPort = 0;
    int m_httpPort = 0;
    std::string m_startError;
};

}  // namespace warenkai::test
