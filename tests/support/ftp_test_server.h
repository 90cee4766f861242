#pragma once

// A real FTP server on 127.0.0.1 for the tests of everything that talks FTP: tests/support/ftp_server.py
// (pyftpdlib, Debian's /usr/bin/python3) on a free port over the fresh folder `root`, ended (and the
// folder removed) by the destructor, and by itself when the test process dies.
//
//     FtpTestServer server;
//     ASSERT_TRUE(server.Running()) << server.StartError();
//     settings.ftpServer = server.Address();                // "127.0.0.1:<port>"
//     settings.ftpUser = FtpTestServer::kUser;              // or kReadOnlyUser: STOR gets 550
//     settings.ftpPassword = FtpTestServer::kPassword;      // holds "@", ":", "/", a blank, "ä"
//     server.root.Write("shop/da.csv", "bytes");             // what the server holds
//     ... run the operation ...
//     EXPECT_EQ(server.root.Read("shop/a.jpg"), "bytes");
//
// `root` is "/" as the client sees it, every user's log-in folder. LogStarting("cmd STOR") lists the
// server's events: "login warenkai", "cmd STOR a.csv".

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/child_process.h"

namespace warenkai::test {

// How the server speaks TLS: not at all, after AUTH TLS (explicit, "ftpes://"), from the first byte
// (implicit, "ftps://"). With TLS it refuses log-ins and data connections without it.
enum class FtpTestTls { None, Explicit, Implicit };

struct FtpServerOptions {
    // Once a data transfer has moved this many bytes, the server drops the data and the control
    // connection (drop) or keeps the data connection open but moves no more byte on it (stall).
    std::int64_t dropAfterBytes = -1;
    std::int64_t stallAfterBytes = -1;
    // Commands the server never answers ("STOR", "QUIT").
    std::vector<std::string> muteCommands{};
    // With TLS a fresh test authority signs a certificate for 127.0.0.1; CaFile() is the
    // authority's certificate for the client.
    FtpTestTls tls = FtpTestTls::None;
};

class FtpTestServer {
public:
    static constexpr const char* kUser = "warenkai";
    static constexpr const char* kPassword = "Ge@heim:1 ä/x";
    static constexpr const char* kReadOnlyUser = "leser";
    static constexpr const char* kReadOnlyPassword = "nur@lesen:2";

    explicit FtpTestServer(const FtpServerOptions& options = {});
    FtpTestServer(const FtpTestServer&) = delete;
    FtpTestServer& operator=(const FtpTestServer&) = delete;

    bool Running() const { return m_process.Running() && m_port != 0; }
    const std::string& StartError() const { return m_startError; }
    int Port() const { return m_port; }
    std::string Address() const { return "127.0.0.1:" + std::to_string(m_port); }
    std::filesystem::path CaFile() const { return m_folder / "ca.pem"; }

    // The event lines so far that start with `prefix` ("login ", "cmd STOR ").
    std::vector<std::string> LogStarting(std::string_view prefix) const;
    // The server's standard error, for failure messages.
    std::string Diagnostics() const;

    TempFolder root;

private:
    TempFolder m_folder;     // events.log, certificates
    ChildProcess m_process;  // closing its standard input ends the server
    int m_port = 0;
    std::string m_startError;
};

}  // namespace warenkai::test
