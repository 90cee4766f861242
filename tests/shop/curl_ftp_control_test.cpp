#include "shop/curl/curl_ftp_control.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <random>
#include <stdexcept>

#include "tests/support/fake_ui.h"
#include "tests/support/ftp_test_server.h"
#include "tests/support/journal.h"
#include "tests/support/temp_folder.h"

namespace warenkai::test {
namespace {

namespace fs = std::filesystem;

std::string RandomBytes(std::size_t size, unsigned pattern = 7) {
    std::mt19937 generator(pattern);
    std::string bytes(size, '\0');
    for (auto& byte : bytes) {
        byte = static_cast<char>(generator() & 0xFF);
    }
    return bytes;
}

// Short limits so the fault cases end in about a second.
CurlFtpOptions TestOptions() {
    CurlFtpOptions options;
    options.connectTimeout = std::chrono::seconds(5);
    options.stallTimeout = std::chrono::seconds(1);
    options.responseTimeout = std::chrono::seconds(2);
    options.activeAcceptTimeout = std::chrono::seconds(5);
    return options;
}

// Server options built by `change` (designated initialisers would have to name every field).
template <typename Change>
FtpServerOptions Options(Change change) {
    FtpServerOptions options;
    change(options);
    return options;
}

std::vector<std::string> FilesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class CurlFtpControlTest : public ::testing::Test {
protected:
    void StartServer(FtpServerOptions options = {}) {
        server = std::make_unique<FtpTestServer>(std::move(options));
        ASSERT_TRUE(server->Running()) << server->StartError();
        server->MakeFolder("/shop");
    }

    void MakeControl(const CurlFtpOptions& options = TestOptions()) {
        ftp = MakeCurlFtpControlWith(options);
        ftp->setTransferProgressHandler(
            [this](std::int64_t total, std::int64_t done) { progress.emplace_back(total, done); });
    }

    void SetUp() override { MakeControl(); }

    bool Connect(std::int32_t flags = kPassiveModeFlag) {
        return ftp->connect(server->Address(), FtpTestServer::kUser, FtpTestServer::kPassword, flags);
    }

    std::string Local(const std::string& name) const { return (local / name).string(); }

    TempFolder local;
    std::unique_ptr<FtpTestServer> server;
    std::unique_ptr<FtpControl> ftp;
    std::vector<std::pair<std::int64_t, std::int64_t>> progress;
};

// --- log-in ---------------------------------------------------------------------------------------

TEST_F(CurlFtpControlTest, ConnectIsTrueOnlyForTheRightUserAndPassword) {
    StartServer();
    EXPECT_TRUE(Connect());
    ftp->disconnect();
    EXPECT_FALSE(ftp->connect(server->Address(), FtpTestServer::kUser, "Ge@heim:1 ä/", kPassiveModeFlag));
    EXPECT_FALSE(ftp->connect(server->Address(), "unbekannt", FtpTestServer::kPassword, 0));
    EXPECT_FALSE(ftp->connect(server->Address(), "", "", kPassiveModeFlag));
    EXPECT_EQ(server->LogStarting("login "), std::vector<std::string>{"login warenkai"});
}

TEST_F(CurlFtpControlTest, UserAndPasswordTravelAsTheyStand) {
    const FtpTestUser special{"Jörg M@ier:1/x", " p@ss:wört/#%? ", "elradfmwMT"};
    StartServer(Options([&](FtpServerOptions& o) { o.users = {special}; }));
    ASSERT_TRUE(ftp->connect(server->Address(), special.name, special.password, kPassiveModeFlag));
    const auto file = local.Write("a.txt", "abc");
    EXPECT_TRUE(ftp->upload(file.string(), "/shop/a.txt", 0));
    EXPECT_EQ(server->ReadFile("/shop/a.txt"), "abc");
    EXPECT_EQ(server->LogStarting("login "), std::vector<std::string>{"login Jörg M@ier:1/x"});
}

TEST_F(CurlFtpControlTest, RefusedLogInUnknownServerAndBadServerTextAreFalse) {
    StartServer(Options([&](FtpServerOptions& o) { o.refuseLogin = true; }));
    EXPECT_FALSE(Connect());
    EXPECT_TRUE(server->LogStarting("login ").empty());
    EXPECT_EQ(server->LogStarting("cmd PASS").size(), 1u);

    // A port where nobody listens.
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    socklen_t length = sizeof address;
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(probe);
    EXPECT_FALSE(ftp->connect("127.0.0.1:" + std::to_string(ntohs(address.sin_port)), "u", "p", 0));

    EXPECT_FALSE(ftp->connect("host.invalid", "u", "p", kPassiveModeFlag));
    EXPECT_FALSE(ftp->connect("", "u", "p", kPassiveModeFlag));
    EXPECT_FALSE(ftp->connect(server->Address() + "/", "u", "p", kPassiveModeFlag));
}

TEST_F(CurlFtpControlTest, ServerThatStopsAnsweringAtLogInGivesFalse) {
    StartServer(Options([&](FtpServerOptions& o) { o.muteCommands = {"PASS"}; }));
    CurlFtpOptions options = TestOptions();
    options.connectTimeout = std::chrono::seconds(1);
    MakeControl(options);
    EXPECT_FALSE(Connect());
}

TEST_F(CurlFtpControlTest, TransfersWithoutConnectionAreFalse) {
    StartServer();
    const auto file = local.Write("a.txt", "abc");
    EXPECT_FALSE(ftp->upload(file.string(), "/shop/a.txt", 0));
    EXPECT_FALSE(ftp->download(Local("b.txt"), "/shop/a.txt"));
    ASSERT_TRUE(Connect());
    ftp->disconnect();
    ftp->disconnect();
    EXPECT_FALSE(ftp->upload(file.string(), "/shop/a.txt", 0));
    EXPECT_FALSE(server->Exists("/shop/a.txt"));
}

// --- transfers ------------------------------------------------------------------------------------

class CurlFtpModeTest : public CurlFtpControlTest, public ::testing::WithParamInterface<std::int32_t> {};

TEST_P(CurlFtpModeTest, BinaryAndTextFilesGoUpAndComeDownByteForByte) {
    StartServer();
    ASSERT_TRUE(Connect(GetParam()));
    const std::string binary = RandomBytes(300000);
    const std::string text = "\"artikelnummer\",\"name\"\r\n\"4711\",\"Stuhl \xE4\"\r\n";
    ASSERT_TRUE(ftp->upload(local.Write("bild.jpg", binary).string(), "/shop/bild.jpg", 1));
    ASSERT_TRUE(ftp->upload(local.Write("artikel.csv", text).string(), "/shop/artikel.csv", 0));
    EXPECT_EQ(server->ReadFile("/shop/bild.jpg"), binary);
    EXPECT_EQ(server->ReadFile("/shop/artikel.csv"), text);

    ASSERT_TRUE(ftp->download(Local("zurueck.jpg"), "/shop/bild.jpg"));
    ASSERT_TRUE(ftp->download(Local("zurueck.csv"), "/shop/artikel.csv"));
    EXPECT_EQ(local.Read("zurueck.jpg"), binary);
    EXPECT_EQ(local.Read("zurueck.csv"), text);
    ftp->disconnect();

    const bool passive = GetParam() == kPassiveModeFlag;
    EXPECT_EQ(server->LogStarting("cmd EPSV").size(), passive ? 4u : 0u);
    EXPECT_EQ(server->LogStarting("cmd EPRT").size() + server->LogStarting("cmd PORT").size(), passive ? 0u : 4u);
}

INSTANTIATE_TEST_SUITE_P(ActiveAndPassive, CurlFtpModeTest, ::testing::Values(0, kPassiveModeFlag));

TEST_F(CurlFtpControlTest, SeveralTransfersShareTheOneLogIn) {
    StartServer();
    ASSERT_TRUE(Connect());
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
        ASSERT_TRUE(ftp->upload(local.Write(name, name).string(), std::string("/shop/") + name, 1)) << name;
    }
    ASSERT_TRUE(ftp->download(Local("a2.jpg"), "/shop/a.jpg"));
    // An empty file travels too.
    ASSERT_TRUE(ftp->upload(local.Write("leer.csv", "").string(), "/shop/leer.csv", 1));
    EXPECT_EQ(server->ReadFile("/shop/leer.csv"), "");
    ASSERT_TRUE(ftp->download(Local("leer2.csv"), "/shop/leer.csv"));
    EXPECT_EQ(local.Read("leer2.csv"), "");
    ftp->disconnect();
    EXPECT_EQ(server->LogStarting("login ").size(), 1u);
    EXPECT_EQ(server->LogStarting("received ").size(), 4u);
    EXPECT_EQ(server->LogStarting("cmd QUIT").size(), 1u);
}

TEST_F(CurlFtpControlTest, TextTypeUsesTheAsciiModeOfTheServer) {
    StartServer();
    ASSERT_TRUE(Connect());
    ftp->setTransfertype(kTransferTypeText);
    ASSERT_TRUE(ftp->upload(local.Write("a.csv", "a\r\nb\r\n").string(), "/shop/a.csv", 0));
    // The test server stores text as it comes; libcurl gives downloaded text the line ends of
    // this system.
    EXPECT_EQ(server->ReadFile("/shop/a.csv"), "a\r\nb\r\n");
    ASSERT_TRUE(ftp->download(Local("b.csv"), "/shop/a.csv"));
    EXPECT_EQ(local.Read("b.csv"), "a\nb\n");
    ftp->setTransfertype(kTransferTypeBinary);
    ASSERT_TRUE(ftp->upload(local.Write("c.csv", "a\r\nb\r\n").string(), "/shop/c.csv", 0));
    EXPECT_EQ(server->ReadFile("/shop/c.csv"), "a\r\nb\r\n");
    EXPECT_EQ(server->LogStarting("cmd TYPE "), (std::vector<std::string>{"cmd TYPE A", "cmd TYPE I"}));
}

TEST_F(CurlFtpControlTest, AbsoluteAndRelativeRemotePathsArePassedAsBuilt) {
    StartServer();
    server->MakeFolder("/shop/config/bilder_artikel");
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(ftp->upload(local.Write("a.jpg", "A").string(), "/shop/config/bilder_artikel/a.jpg", 0));
    ASSERT_TRUE(ftp->upload(local.Write("b.jpg", "B").string(), "shop/b.jpg", 0));
    ASSERT_TRUE(ftp->upload(local.Write("c.jpg", "C").string(), "/c.jpg", 0));
    EXPECT_EQ(server->ReadFile("/shop/config/bilder_artikel/a.jpg"), "A");
    EXPECT_EQ(server->ReadFile("/shop/b.jpg"), "B");
    EXPECT_EQ(server->ReadFile("/c.jpg"), "C");
    const auto cwd = server->LogStarting("cmd CWD ");
    ASSERT_FALSE(cwd.empty());
    EXPECT_EQ(cwd.front(), "cmd CWD /shop/config/bilder_artikel");
}

TEST_F(CurlFtpControlTest, FileNamesWithBlanksUmlautsAndSignsArriveUnchanged) {
    StartServer();
    server->MakeFolder("/shop/mein ordner #1");
    ASSERT_TRUE(Connect());
    const std::vector<std::string> names = {"Bild 1.jpg",     "Türschild ÄÖÜß.jpg", "Nr#5.jpg",
                                            "100% Wolle.jpg", "frage?.jpg",         "a+b@c;d,e=f&g'h.jpg"};
    for (const auto& name : names) {
        const auto file = local.Write(name, "inhalt " + name);
        ASSERT_TRUE(ftp->upload(file.string(), "/shop/mein ordner #1/" + name, 1)) << name;
        EXPECT_EQ(server->ReadFile("/shop/mein ordner #1/" + name), "inhalt " + name) << name;
        ASSERT_TRUE(ftp->download(Local("zurueck " + name), "/shop/mein ordner #1/" + name)) << name;
        EXPECT_EQ(local.Read("zurueck " + name), "inhalt " + name);
    }
    auto expected = names;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FilesIn(server->PathOf("/shop/mein ordner #1")), expected);
}

TEST_F(CurlFtpControlTest, RemotePathsWithControlCharactersAreRefusedUnsent) {
    StartServer();
    ASSERT_TRUE(Connect());
    const auto file = local.Write("a.txt", "x");
    EXPECT_FALSE(ftp->upload(file.string(), "/shop/a.txt\r\nDELE /shop/b.txt", 0));
    EXPECT_FALSE(ftp->upload(file.string(), "/shop/a\n.txt", 0));
    EXPECT_FALSE(ftp->upload(file.string(), std::string("/shop/a\0b", 9), 0));
    EXPECT_FALSE(ftp->download(Local("b.txt"), "/shop/a.txt\r\n"));
    EXPECT_FALSE(ftp->upload(file.string(), "/shop/", 0));
    ftp->disconnect();
    EXPECT_TRUE(server->LogStarting("cmd STOR").empty());
    EXPECT_TRUE(server->LogStarting("cmd RETR").empty());
    EXPECT_FALSE(fs::exists(local / "b.txt"));
}

// --- failures -------------------------------------------------------------------------------------

TEST_F(CurlFtpControlTest, ServerRefusingStorIsFalseAndTheConnectionGoesOn) {
    StartServer();
    server->WriteFile("/shop/da.txt", "da");
    ASSERT_TRUE(ftp->connect(server->Address(), FtpTestServer::kReadOnlyUser, FtpTestServer::kReadOnlyPassword,
                             kPassiveModeFlag));
    EXPECT_FALSE(ftp->upload(local.Write("a.txt", "x").string(), "/shop/a.txt", 0));
    EXPECT_FALSE(server->Exists("/shop/a.txt"));
    EXPECT_TRUE(ftp->download(Local("da.txt"), "/shop/da.txt"));
    EXPECT_EQ(local.Read("da.txt"), "da");
    EXPECT_EQ(server->LogStarting("login ").size(), 1u);
}

TEST_F(CurlFtpControlTest, MissingLocalFileOrFolderIsFalse) {
    StartServer();
    ASSERT_TRUE(Connect());
    EXPECT_FALSE(ftp->upload(Local("fehlt.jpg"), "/shop/fehlt.jpg", 0));
    EXPECT_FALSE(ftp->upload(local.path().string(), "/shop/ordner.jpg", 0));
    server->WriteFile("/shop/da.txt", "da");
    EXPECT_FALSE(ftp->download(Local("kein/ordner/da.txt"), "/shop/da.txt"));
    EXPECT_FALSE(ftp->download(local.path().string(), "/shop/da.txt"));
    EXPECT_TRUE(server->LogStarting("cmd STOR").empty());
}

TEST_F(CurlFtpControlTest, FailedDownloadLeavesNoFileAndAnOldFileUntouched) {
    StartServer();
    ASSERT_TRUE(Connect());
    EXPECT_FALSE(ftp->download(Local("kundenstamm.csv"), "/shop/Exportkunde.csv"));
    EXPECT_FALSE(fs::exists(local / "kundenstamm.csv"));

    local.Write("bestellungen.csv", "alt");
    EXPECT_FALSE(ftp->download(Local("bestellungen.csv"), "/shop/Exportbestellung.csv"));
    EXPECT_EQ(local.Read("bestellungen.csv"), "alt");
    EXPECT_EQ(FilesIn(local.path()), std::vector<std::string>{"bestellungen.csv"});
}

TEST_F(CurlFtpControlTest, DownloadToAFileNameOfTheLongestLength) {
    StartServer();
    server->WriteFile("/shop/a.csv", "inhalt");
    ASSERT_TRUE(Connect());
    const std::string longest(255, 'x');
    ASSERT_TRUE(ftp->download(Local(longest), "/shop/a.csv"));
    EXPECT_EQ(local.Read(longest), "inhalt");
    EXPECT_EQ(FilesIn(local.path()), std::vector<std::string>{longest});
}

TEST_F(CurlFtpControlTest, DownloadReplacesAReadOnlyOldFile) {
    StartServer();
    server->WriteFile("/shop/Exportkunde.csv", "neu");
    const auto old = local.Write("kundenstamm.csv", "alt");
    fs::permissions(old, fs::perms::owner_read);
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(ftp->download(old.string(), "/shop/Exportkunde.csv"));
    EXPECT_EQ(local.Read("kundenstamm.csv"), "neu");
    EXPECT_EQ(FilesIn(local.path()), std::vector<std::string>{"kundenstamm.csv"});
}

TEST_F(CurlFtpControlTest, ConnectionDroppedDuringTransfersIsFalseAndTheNextTransferLogsInAgain) {
    StartServer(Options([&](FtpServerOptions& o) { o.dropAfterBytes = 1 << 20; }));
    server->WriteFile("/shop/gross.bin", RandomBytes(4 << 20));
    ASSERT_TRUE(Connect());
    EXPECT_FALSE(ftp->upload(local.Write("gross.jpg", RandomBytes(4 << 20)).string(), "/shop/gross.jpg", 1));
    EXPECT_FALSE(ftp->download(Local("gross.bin"), "/shop/gross.bin"));
    EXPECT_EQ(FilesIn(local.path()), std::vector<std::string>{"gross.jpg"});

    ASSERT_TRUE(ftp->upload(local.Write("klein.jpg", "klein").string(), "/shop/klein.jpg", 1));
    EXPECT_EQ(server->ReadFile("/shop/klein.jpg"), "klein");
    EXPECT_EQ(server->LogStarting("login ").size(), 3u);
}

TEST_F(CurlFtpControlTest, StalledTransfersEndWithFalse) {
    StartServer(Options([&](FtpServerOptions& o) { o.stallAfterBytes = 256 << 10; }));
    server->WriteFile("/shop/gross.bin", RandomBytes(8 << 20));
    ASSERT_TRUE(Connect());
    EXPECT_FALSE(ftp->download(Local("gross.bin"), "/shop/gross.bin"));
    EXPECT_TRUE(FilesIn(local.path()).empty());
    // Large enough to fill the socket buffers of both ends. libcurl measures the speed over the last
    // five seconds, so a stall is noticed some seconds after the limit.
    EXPECT_FALSE(ftp->upload(local.Write("gross.jpg", RandomBytes(48 << 20)).string(), "/shop/gross.jpg", 0));
}

TEST_F(CurlFtpControlTest, ServerThatStopsAnsweringDuringATransferGivesFalse) {
    StartServer(Options([&](FtpServerOptions& o) { o.muteCommands = {"STOR"}; }));
    CurlFtpOptions options = TestOptions();
    options.responseTimeout = std::chrono::seconds(1);
    MakeControl(options);
    ASSERT_TRUE(Connect());
    EXPECT_FALSE(ftp->upload(local.Write("a.jpg", "a").string(), "/shop/a.jpg", 1));
}

TEST_F(CurlFtpControlTest, DisconnectDoesNotWaitLongForAServerThatNoLongerAnswers) {
    StartServer(Options([&](FtpServerOptions& o) { o.muteCommands = {"QUIT"}; }));
    CurlFtpOptions options = TestOptions();
    options.responseTimeout = std::chrono::seconds(60);
    MakeControl(options);
    ASSERT_TRUE(Connect());
    const auto start = std::chrono::steady_clock::now();
    ftp->disconnect();
    // Not the minute of the response time-out: the QUIT gets a short wait of its own.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    EXPECT_EQ(server->LogStarting("cmd QUIT").size(), 1u);
}

// --- TLS -------------------------------------------------------------------------------------------

struct TlsCase {
    const char* name;
    const char* scheme;  // put before the server's "127.0.0.1:<port>"
    std::int32_t flags;
    FtpTestTls serverTls;
    const char* certificateHost;
    bool trustTestAuthority;  // CurlFtpOptions::caFile names the server's test authority
    bool connects;
    // The server's AUTH, PBSZ and PROT lines in order.
    std::vector<std::string> securityCommands;
    // Part of lastFailure when the connection is refused.
    const char* failure;
};

// Names the case in test listings instead of its bytes.
void PrintTo(const TlsCase& tlsCase, std::ostream* out) {
    *out << tlsCase.name;
}

class CurlFtpTlsTest : public CurlFtpControlTest, public ::testing::WithParamInterface<TlsCase> {};

// A server demanding TLS refuses log-ins and data connections without it, so a transfer that works
// went through protected connections; a refused connection never sent the log-in.
TEST_P(CurlFtpTlsTest, TransfersGoThroughTlsOrTheConnectionIsRefused) {
    const TlsCase& row = GetParam();
    StartServer(Options([&](FtpServerOptions& o) {
        o.tls = row.serverTls;
        o.certificateHost = row.certificateHost;
    }));
    CurlFtpOptions options = TestOptions();
    if (row.trustTestAuthority) {
        options.caFile = server->CaFile().string();
    }
    MakeControl(options);

    const bool connected =
        ftp->connect(row.scheme + server->Address(), FtpTestServer::kUser, FtpTestServer::kPassword, row.flags);
    ASSERT_EQ(connected, row.connects) << ftp->lastFailure() << "\n" << server->Diagnostics();
    if (connected) {
        EXPECT_EQ(ftp->lastFailure(), "");
        const std::string bytes = RandomBytes(200000);
        ASSERT_TRUE(ftp->upload(local.Write("bild.jpg", bytes).string(), "/shop/bild.jpg", 0)) << ftp->lastFailure();
        EXPECT_EQ(server->ReadFile("/shop/bild.jpg"), bytes);
        ASSERT_TRUE(ftp->download(Local("zurueck.jpg"), "/shop/bild.jpg")) << ftp->lastFailure();
        EXPECT_EQ(local.Read("zurueck.jpg"), bytes);
        ftp->disconnect();
        EXPECT_EQ(server->LogStarting("login "), std::vector<std::string>{"login warenkai"});
    } else {
        EXPECT_NE(ftp->lastFailure().find(row.failure), std::string::npos) << ftp->lastFailure();
        EXPECT_TRUE(server->LogStarting("cmd USER").empty());
    }
    std::vector<std::string> security;
    for (const auto& line : server->Log()) {
        if (line.starts_with("cmd AUTH") || line.starts_with("cmd PBSZ") || line.starts_with("cmd PROT")) {
            security.push_back(line);
        }
    }
    EXPECT_EQ(security, row.securityCommands);
}

const TlsCase kTlsCases[] = {
    {"ExplicitTls", "ftpes://", kPassiveModeFlag, FtpTestTls::Explicit, "127.0.0.1", true, true,
     {"cmd AUTH TLS", "cmd PBSZ 0", "cmd PROT P"}, ""},
    {"ImplicitTls", "ftps://", kPassiveModeFlag, FtpTestTls::Implicit, "127.0.0.1", true, true,
     {"cmd PBSZ 0", "cmd PROT P"}, ""},
    {"PlainWithScheme", "ftp://", kPassiveModeFlag, FtpTestTls::None, "127.0.0.1", true, true, {}, ""},
    {"CertificateOfAnotherHost", "ftpes://", kPassiveModeFlag, FtpTestTls::Explicit, "shop.example", true, false,
     {"cmd AUTH TLS"}, "SSL: no alternative certificate subject name matches"},
    {"UntrustedAuthority", "ftpes://", kPassiveModeFlag, FtpTestTls::Explicit, "127.0.0.1", false, false,
     {"cmd AUTH TLS"}, "SSL certificate problem"},
    {"PlainServerAskedForExplicitTls", "ftpes://", kPassiveModeFlag, FtpTestTls::None, "127.0.0.1", true, false,
     {"cmd AUTH TLS", "cmd AUTH SSL"}, "Antwort des Servers: \"500"},
    {"PlainServerAskedForImplicitTls", "ftps://", kPassiveModeFlag, FtpTestTls::None, "127.0.0.1", true, false,
     {}, "SSL"},
    {"ActiveModeWithTls", "ftpes://", 0, FtpTestTls::Explicit, "127.0.0.1", true, false, {},
     "nur im Passiv-Modus"},
};

INSTANTIATE_TEST_SUITE_P(Cases, CurlFtpTlsTest, ::testing::ValuesIn(kTlsCases),
                         [](const auto& tlsCase) { return std::string(tlsCase.param.name); });

// --- progress --------------------------------------------------------------------------------------

TEST_F(CurlFtpControlTest, ProgressRisesUntilDoneReachesTotal) {
    StartServer();
    const std::string bytes = RandomBytes(3 << 20);
    const auto size = static_cast<std::int64_t>(bytes.size());
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(ftp->upload(local.Write("a.jpg", bytes).string(), "/shop/a.jpg", 0));
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), std::make_pair(size, size));
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end(),
                               [](const auto& a, const auto& b) { return a.second < b.second; }));
    for (const auto& [total, done] : progress) {
        EXPECT_EQ(total, size);
    }

    progress.clear();
    ASSERT_TRUE(ftp->download(Local("b.jpg"), "/shop/a.jpg"));
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), std::make_pair(size, size));
}

TEST_F(CurlFtpControlTest, AThrowingProgressHandlerEndsTheTransferWithFalse) {
    StartServer();
    ASSERT_TRUE(Connect());
    ftp->setTransferProgressHandler([](std::int64_t, std::int64_t) { throw std::runtime_error("kaputt"); });
    EXPECT_FALSE(ftp->upload(local.Write("a.jpg", RandomBytes(1 << 20)).string(), "/shop/a.jpg", 0));
    ftp->setTransferProgressHandler(nullptr);
    EXPECT_TRUE(ftp->upload(local.Write("c.jpg", "c").string(), "/shop/c.jpg", 1));
}

}  // namespace
}  // namespace warenkai::test
