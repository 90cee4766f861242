#include "shop/curl/curl_ftp_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "tests/support/ftp_test_server.h"
#include "tests/support/temp_folder.h"

namespace warenkai::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using Tls = FtpTestTls;
using namespace std::chrono_literals;

class CurlFtpControlTest : public ::testing::Test {
protected:
    void Start(const FtpServerOptions& options, CurlFtpOptions limits = {}, bool trustTestAuthority = false) {
        server = std::make_unique<FtpTestServer>(options);
        ASSERT_TRUE(server->Running()) << server->StartError();
        std::filesystem::create_directory(server->root / "shop");
        limits.caFile = trustTestAuthority ? server->CaFile().string() : "";
        ftp = MakeCurlFtpControlWith(limits);
    }

    TempFolder local;
    std::unique_ptr<FtpTestServer> server;
    std::unique_ptr<FtpControl> ftp;
};

struct ConnectCase {
    const char* name;
    const char* server;  // the test server's port follows a closing ":"
    std::int32_t flags;
    Tls tls;
    bool trusted;  // the client trusts the authority of the server's certificate (made for 127.0.0.1)
    const char* password;
    Lines logIn;          // the commands the server gets until logged in
    const char* failure;  // part of lastFailure; empty: connects
    // Test listings show a case's name, not its bytes.
    friend void PrintTo(const ConnectCase& row, std::ostream* out) { *out << row.name; }
};

class CurlFtpConnectTest : public CurlFtpControlTest, public ::testing::WithParamInterface<ConnectCase> {};

// Files of every kind move byte for byte both ways with one log-in, through TLS where the server
// demands it (it refuses log-ins and data connections without); a refused connection says why.
TEST_P(CurlFtpConnectTest, LogsInOnceAndMovesFilesByteForByteOrIsRefusedWithTheReason) {
    const ConnectCase& row = GetParam();
    Start({.tls = row.tls}, {}, row.trusted && row.tls != Tls::None);
    const std::string address =
        row.server + (std::string(row.server).ends_with(':') ? std::to_string(server->Port()) : "");
    const bool connected = ftp->connect(address, FtpTestServer::kUser, row.password, row.flags);
    ASSERT_EQ(connected, *row.failure == '\0') << ftp->lastFailure() << "\n" << server->Diagnostics();
    EXPECT_TRUE(connected ? ftp->lastFailure().empty() : ftp->lastFailure().find(row.failure) != std::string::npos)
        << ftp->lastFailure();
    if (connected) {
        std::pair<std::int64_t, std::int64_t> progress{-1, -1};  // the last event
        ftp->setTransferProgressHandler([&progress](std::int64_t total, std::int64_t done) {
            EXPECT_GE(done, progress.second) << "done never falls";
            progress = {total, done};
        });
        std::string big(3 << 20, '\0');
        std::generate(big.begin(), big.end(),
                      [i = 0u]() mutable { return static_cast<char>((i++ * 2654435761u) >> 13); });
        const std::string names[] = {"/shop/bilder ä #1/Türschild ÄÖÜß 100% frage?.jpg", "/shop/a+b@c;d,e=f&g'h.csv",
                                     "/shop/leer.csv"};
        const std::string bytes[] = {big, "\"4711\",\"Stuhl \xE4\"\r\n", ""};
        const std::string localNames[] = {"Türschild ÄÖÜß.jpg", std::string(255, 'x'), "leer.csv"};
        std::filesystem::create_directory(server->root / "shop/bilder ä #1");
        fs::create_directory(local / "runter");
        for (int i = 0; i < 3; ++i) {
            const auto size = static_cast<std::int64_t>(bytes[i].size());
            ASSERT_TRUE(ftp->upload(local.Write("hoch", bytes[i]), names[i], 1)) << ftp->lastFailure();
            EXPECT_EQ(std::exchange(progress, {-1, -1}), std::make_pair(size, size));
            EXPECT_EQ(server->root.Read(names[i].substr(1)), bytes[i]) << names[i];
            ASSERT_TRUE(ftp->download(local / "runter" / localNames[i], names[i])) << ftp->lastFailure();
            EXPECT_EQ(std::exchange(progress, {-1, -1}), std::make_pair(size, size));
            EXPECT_EQ(local.Read("runter/" + localNames[i]), bytes[i]) << names[i];
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(local / "runter"), {}), 3);  // no part file left

        EXPECT_EQ(server->LogStarting("cmd CWD"), (Lines{"cmd CWD /shop/bilder ä #1", "cmd CWD /shop"}));
        EXPECT_EQ(server->LogStarting(row.flags == kPassiveModeFlag ? "cmd EPSV" : "cmd EPRT").size(), 6u);

        ftp->setTransferProgressHandler([](std::int64_t, std::int64_t) { throw std::runtime_error("kaputt"); });
        EXPECT_FALSE(ftp->upload(local.Write("hoch", big), "/shop/b.jpg", 1));
        EXPECT_EQ(ftp->lastFailure(), "Die Übertragung wurde von der Fortschrittsanzeige abgebrochen");
        ftp->disconnect();
    }
    // What the server was sent until the PWD that follows a log-in; a second log-in would be listed.
    auto logIn = server->LogStarting("cmd ");
    logIn.erase(std::find(logIn.begin(), logIn.end(), "cmd PWD"), logIn.end());
    EXPECT_EQ(logIn, row.logIn);
    EXPECT_EQ(server->LogStarting("login ").size(), connected ? 1u : 0u);
}

const Lines kPlain = {"cmd USER warenkai", "cmd PASS ******"};
const Lines kExplicit = {"cmd AUTH TLS", "cmd USER warenkai", "cmd PASS ******", "cmd PBSZ 0", "cmd PROT P"};
const Lines kImplicit = {"cmd USER warenkai", "cmd PASS ******", "cmd PBSZ 0", "cmd PROT P"};
const char* const kPw = FtpTestServer::kPassword;
constexpr auto kPassive = kPassiveModeFlag;

const ConnectCase kConnectCases[] = {
    // clang-format off
    {"Passive", "ftp://127.0.0.1:", kPassive, Tls::None, true, kPw, kPlain, ""},
    {"Active", "127.0.0.1:", 0, Tls::None, true, kPw, kPlain, ""},
    {"ExplicitTls", "ftpes://127.0.0.1:", kPassive, Tls::Explicit, true, kPw, kExplicit, ""},
    {"ImplicitTls", "ftps://127.0.0.1:", kPassive, Tls::Implicit, true, kPw, kImplicit, ""},
    // The right password without its last letter.
    {"WrongPassword", "127.0.0.1:", kPassive, Tls::None, true, "Ge@heim:1 ä/", kPlain,
     "Access denied: 530 (Antwort des Servers: \"530 Authentication failed.\")"},
    {"NobodyListens", "127.0.0.1:1", kPassive, Tls::None, true, kPw, {}, "Couldn't connect to server"},
    {"CertificateOfAnotherHost", "ftpes://localhost:", kPassive, Tls::Explicit, true, kPw, {"cmd AUTH TLS"},
     "SSL: no alternative certificate subject name matches"},
    {"UntrustedAuthority", "ftpes://127.0.0.1:", kPassive, Tls::Explicit, false, kPw, {"cmd AUTH TLS"},
     "SSL certificate problem"},
    {"PlainServerAskedForExplicitTls", "ftpes://127.0.0.1:", kPassive, Tls::None, true, kPw,
     {"cmd AUTH TLS", "cmd AUTH SSL"}, "Antwort des Servers: \"500"},
    {"PlainServerAskedForImplicitTls", "ftps://127.0.0.1:", kPassive, Tls::None, true, kPw, {}, "SSL"},
    {"ActiveModeWithTls", "ftpes://127.0.0.1:", 0, Tls::Explicit, true, kPw, {}, "nur im Passiv-Modus"},
    // clang-format on
};

INSTANTIATE_TEST_SUITE_P(Cases, CurlFtpConnectTest, ::testing::ValuesIn(kConnectCases),
                         [](const auto& test) { return std::string(test.param.name); });

enum class Step { Connect, Upload, Download, Disconnect };

struct FaultCase {
    const char* name;
    FtpServerOptions server;
    CurlFtpOptions limits;  // one limit shortened, the others stay at 20 s or more
    Step step;              // what fails after the log-in (Connect: the log-in itself)
    const char* local;
    const char* remote;
    const char* failure;  // part of lastFailure
    friend void PrintTo(const FaultCase& row, std::ostream* out) { *out << row.name; }
};

class CurlFtpFaultTest : public CurlFtpControlTest, public ::testing::WithParamInterface<FaultCase> {};

// The user may read only. A failed download leaves the local file as it was (missing, or the old
// one). A refused transfer leaves the session standing; after a dropped or timed-out one the next
// transfer logs in again by itself.
TEST_P(CurlFtpFaultTest, IsFalseWithinItsTimeOutWithTheReasonLeavesNoPartFileAndTheNextTransferWorks) {
    const FaultCase& row = GetParam();
    Start(row.server, row.limits);
    server->root.Write("shop/da.txt", "da");
    server->root.Write("shop/gross.bin", std::string(8 << 20, 'x'));
    local.Write("a.jpg", "a");
    local.Write("bestellungen.csv", "alt");

    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(ftp->connect(server->Address(), FtpTestServer::kReadOnlyUser, FtpTestServer::kReadOnlyPassword,
                           kPassiveModeFlag),
              row.step != Step::Connect);
    if (row.step == Step::Upload) {
        EXPECT_FALSE(ftp->upload(local / row.local, row.remote, 1));
        EXPECT_FALSE(std::filesystem::exists(server->root / (row.remote + 1)));
    } else if (row.step == Step::Download) {
        EXPECT_FALSE(ftp->download(local / row.local, row.remote));
    } else if (row.step == Step::Disconnect) {
        ftp->disconnect();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
    EXPECT_NE(ftp->lastFailure().find(row.failure), std::string::npos) << ftp->lastFailure();

    const bool goesOn = row.step == Step::Upload || row.step == Step::Download;
    EXPECT_EQ(ftp->download(local / "da.txt", "/shop/da.txt"), goesOn) << ftp->lastFailure();
    EXPECT_EQ(ftp->lastFailure(), goesOn ? "" : "Keine Verbindung zum FTP-Server");
    EXPECT_EQ(std::distance(fs::directory_iterator(local.path()), {}),
              goesOn ? 3 : 2);  // a.jpg, bestellungen.csv, da.txt
    EXPECT_EQ(local.Read("bestellungen.csv"), "alt");
}

const FaultCase kFaultCases[] = {
    // clang-format off
    {"RefusedStor", {}, {}, Step::Upload, "a.jpg", "/shop/a.jpg",
     "(Antwort des Servers: \"550 Not enough privileges.\")"},
    {"MissingRemoteFile", {}, {}, Step::Download, "bestellungen.csv", "/shop/fehlt.csv",
     "The file does not exist (Antwort des Servers: \"550 /shop/fehlt.csv is not retrievable.\")"},
    {"MissingLocalFile", {}, {}, Step::Upload, "fehlt.jpg", "/shop/fehlt.jpg", "fehlt.jpg kann nicht gelesen"},
    {"MissingLocalFolder", {}, {}, Step::Download, "kein/da.txt", "/shop/da.txt", "kann keine Datei angelegt"},
    {"LocalFolderAsTarget", {}, {}, Step::Download, "", "/shop/da.txt", "Ungültiger Name der Zieldatei"},
    {"DroppedConnection", {.dropAfterBytes = 1 << 20}, {}, Step::Download, "gross.bin", "/shop/gross.bin",
     "transfer closed with"},
    {"StalledDownload", {.stallAfterBytes = 256 << 10}, {.stallTimeout = 1s, .caFile = ""}, Step::Download,
     "gross.bin", "/shop/gross.bin", "Operation too slow"},
    {"NoAnswerToStor", {.muteCommands = {"STOR"}}, {.responseTimeout = 1s, .caFile = ""}, Step::Upload, "a.jpg",
     "/shop/a.jpg", "server response timeout"},
    {"NoAnswerAtLogIn", {.muteCommands = {"PASS"}}, {.connectTimeout = 500ms, .caFile = ""}, Step::Connect, "", "",
     "timed out"},
    {"NoAnswerToQuit", {.muteCommands = {"QUIT"}}, {}, Step::Disconnect, "", "", ""},
    // clang-format on
};

INSTANTIATE_TEST_SUITE_P(Cases, CurlFtpFaultTest, ::testing::ValuesIn(kFaultCases),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace warenkai::test
