#pragma once

// A real FTP server on 127.0.0.1 for end-to-end tests of everything that talks FTP.
//
// It runs tests/support/ftp_server.py (pyftpdlib) with Debian's /usr/bin/python3 on a free port
// and a fresh temporary root folder, and ends it (and removes the folder) in the destructor. The
// server also ends by itself when the test process dies, so no process is left behind.
//
//     #include "tests/support/ftp_test_server.h"
//
//     warenkai::test::FtpTestServer server;                  // default users, no faults
//     ASSERT_TRUE(server.Running()) << server.StartError();
//     settings.ftpServer = server.Address();                // "127.0.0.1:<port>"
//     settings.ftpUser = FtpTestServer::kUser;
//     settings.ftpPassword = FtpTestServer::kPassword;      // holds "@", ":", "/", a blank, "ä"
//     settings.shopRoot = "/shop";                          // absolute: below the server's root
//     server.MakeFolder("/shop/config/bilder_artikel");     // the remote folders must exist
//     FakeEventLoop controlEvents{otherJournal};            // see below
//     auto ftp = MakeCurlFtpControl(controlEvents);         // the FtpControl of the context
//     ... run the operation ...
//     EXPECT_EQ(server.ReadFile("/shop/config/bilder_artikel/a.jpg"), "bytes");
//
// Server paths are written as the client sees them ("/shop/a.csv"); "/" is the server's root
// folder, which is also every user's log-in folder. Faults are switched on through
// FtpServerOptions (refused log-in, dropped or stalled transfers, commands never answered, a slow
// data connection). Log() lists what the server saw, one line per event ("login warenkai",
// "cmd STOR a.csv", "received /shop/a.csv"; the format is described in ftp_server.py).
//
// FTP over TLS: FtpServerOptions::tls makes a fresh test authority and a server certificate at
// start; a client trusts the authority through CaFile() (CurlFtpOptions::caFile) and names the
// server "ftpes://" + Address() (explicit TLS) or "ftps://" + Address() (implicit TLS). TLS needs
// Debian's python3-openssl.
//
// Starting a server costs about a tenth of a second; one per test is fine.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/support/child_process.h"

namespace warenkai::test {

struct FtpTestUser {
    std::string name;
    std::string password;
    // pyftpdlib permissions: "elradfmwMT" is everything, "elr" reads only (STOR gets 550).
    std::string perm = "elradfmwMT";
};

// How the server speaks TLS: not at all, after AUTH TLS (explicit), from the first byte (implicit).
enum class FtpTestTls { None, Explicit, Implicit };

struct FtpServerOptions {
    // Empty: the default users kUser (all rights) and kReadOnlyUser (no "w").
    std::vector<FtpTestUser> users;
    // Every log-in is refused with 530.
    bool refuseLogin = false;
    // Once a data transfer has moved this many bytes, the server closes the data and the control
    // connection. Negative: never.
    std::int64_t dropAfterBytes = -1;
    // Once a data transfer has moved this many bytes, the server neither reads nor sends any more
    // on it but keeps it open. Negative: never.
    std::int64_t stallAfterBytes = -1;
    // Commands the server never answers ("PASS", "STOR", "EPSV", …).
    std::vector<std::string> muteCommands;
    // Upper limit of every data connection in bytes per second; 0: none. pyftpdlib throttles in
    // bursts: the first bytesPerSecond bytes go at full speed, then it pauses.
    std::int64_t bytesPerSecond = 0;
    // Commands answered only after a pause, in seconds ({"STOR", 0.3}: a slow server).
    std::vector<std::pair<std::string, double>> delayedCommands;
    // FTP over TLS; the server then refuses log-ins and data connections without it (550).
    FtpTestTls tls = FtpTestTls::None;
    // The host (DNS name or IP address) the server's certificate is made for.
    std::string certificateHost = "127.0.0.1";
};

class FtpTestServer {
public:
    static constexpr const char* kUser = "warenkai";
    static constexpr const char* kPassword = "Ge@heim:1 ä/x";
    static constexpr const char* kReadOnlyUser = "leser";
    static constexpr const char* kReadOnlyPassword = "nur@lesen:2";

    explicit FtpTestServer(FtpServerOptions options = {});
    ~FtpTestServer();
    FtpTestServer(const FtpTestServer&) = delete;
    FtpTestServer& operator=(const FtpTestServer&) = delete;

    // Whether the server started and has not been stopped; StartError() says why it did not start.
    bool Running() const { return m_process.Running() && m_port != 0; }
    const std::string& StartError() const { return m_startError; }

    int Port() const { return m_port; }
    // "127.0.0.1:<port>", the text for the ftpServer setting.
    std::string Address() const;
    // The local folder that the server shows as "/".
    const std::filesystem::path& Root() const { return m_root; }
    // With TLS, the certificate (PEM) of the test authority that signed the server's certificate;
    // empty otherwise.
    const std::filesystem::path& CaFile() const { return m_caFile; }

    // The local file behind a server path such as "/shop/a.csv".
    std::filesystem::path PathOf(std::string_view serverPath) const;
    // The bytes of a server file; std::nullopt when it does not exist.
    std::optional<std::string> ReadFile(std::string_view serverPath) const;
    bool Exists(std::string_view serverPath) const;
    // Puts a file on the server (creating its folders).
    void WriteFile(std::string_view serverPath, std::string_view bytes) const;
    void MakeFolder(std::string_view serverPath) const;

    // The server's event lines so far.
    std::vector<std::string> Log() const;
    // The event lines that start with `prefix` ("login ", "cmd STOR ", "received ").
    std::vector<std::string> LogStarting(std::string_view prefix) const;
    // The server's own diagnostics (stderr of the script), for failure messages.
    std::string Diagnostics() const;

    // Ends the server now (the destructor does it otherwise). Idempotent.
    void Stop();

private:
    void Start(const FtpServerOptions& options);

    std::filesystem::path m_folder;  // temporary folder: root/, events.log, stderr.txt
    std::filesystem::path m_root;
    std::filesystem::path m_caFile;
    ChildProcess m_process;  // closing its standard input ends the server
    int m_port = 0;
    std::string m_startError;
};

}  // namespace warenkai::test
