#include "shop/curl/curl_ftp_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "tests/support/ftp_test_server.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_data.h"

namespace warenkai::test {
namespace {

namespace fs = std::filesystem;
using Tls = FtpTestTls;
using namespace std::chrono_literals;

class CurlFtpControlTest : public ::testing::Test {
protected:
    void Start(const FtpServerOptions& options, CurlFtpOptions limits = {}, bool trustTestAuthority = false) {
        server = std::make_unique<FtpTestServer>(options);
        ASSERT_TRUE(server->Running()) << server->StartError();
        fs::create_directory(server->root / "shop");
        limits.caFile = trustTestAuthority ? server->CaFile().string() : "";
        ftp = MakeCurlFtpControlWith(limits);
    }

    TempFolder local;
    std::unique_ptr<FtpTestServer> server;
    std::unique_ptr<FtpControl> ftp;
};

// A case of a data file, named (also in test listings) by the first word of its line.
struct Case : std::pair<std::string, Lines> {
    friend void PrintTo(const Case& row, std::ostream* out) { *out << row.first.substr(0, row.first.find(' ')); }
};
std::vector<Case> CasesOf(const std::string& name) {
    std::vector<Case> cases;
    for (auto& row : Cases(name)) {
        cases.push_back({std::move(row)});
    }
    return cases;
}
std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    return ::testing::PrintToString(info.param);
}

class CurlFtpConnectTest : public CurlFtpControlTest, public ::testing::WithParamInterface<Case> {};

// tests/data/shop/ftp_log_ins.txt. Files of every kind move byte for byte both ways with one log-in,
// through TLS where the server demands it (it refuses log-ins and data connections without); a
// refused connection says why.
TEST_P(CurlFtpConnectTest, LogsInOnceAndMovesFilesByteForByteOrIsRefusedWithTheReason) {
    std::istringstream fields(GetParam().first);
    std::string name, address, mode, tlsName, trust, password;
    std::getline(fields >> name >> address >> mode >> tlsName >> trust >> std::ws, password);
    Lines logIn = GetParam().second;
    const std::string failure = logIn.back().starts_with("! ") ? logIn.back().substr(2) : "";
    logIn.resize(logIn.size() - !failure.empty());
    const std::string tlsNames[] = {"None", "Explicit", "Implicit"};
    Start({.tls = static_cast<Tls>(std::find(tlsNames, std::end(tlsNames), tlsName) - tlsNames)}, {},
          trust == "trusted");
    const std::int32_t flags = mode == "passive" ? kPassiveModeFlag : 0;
    const bool connected = ftp->connect(address + (address.ends_with(':') ? std::to_string(server->Port()) : ""),
                                        FtpTestServer::kUser, password, flags);
    ASSERT_EQ(connected, failure.empty()) << ftp->lastFailure() << "\n" << server->Diagnostics();
    EXPECT_TRUE(connected ? ftp->lastFailure().empty() : ftp->lastFailure().find(failure) != std::string::npos)
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
        fs::create_directory(server->root / "shop/bilder ä #1");
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
        EXPECT_EQ(server->LogStarting(flags == kPassiveModeFlag ? "cmd EPSV" : "cmd EPRT").size(), 6u);

        ftp->setTransferProgressHandler([](std::int64_t, std::int64_t) { throw std::runtime_error("kaputt"); });
        EXPECT_FALSE(ftp->upload(local.Write("hoch", big), "/shop/b.jpg", 1));
        EXPECT_EQ(ftp->lastFailure(), "Die Übertragung wurde von der Fortschrittsanzeige abgebrochen");
        ftp->disconnect();
    }
    // What the server was sent until the PWD that follows a log-in; a second log-in would be listed.
    auto sent = server->LogStarting("cmd ");
    sent.erase(std::find(sent.begin(), sent.end(), "cmd PWD"), sent.end());
    EXPECT_EQ(sent, logIn);
    EXPECT_EQ(server->LogStarting("login ").size(), connected ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Cases, CurlFtpConnectTest, ::testing::ValuesIn(CasesOf("shop/ftp_log_ins.txt")), CaseName);

class CurlFtpFaultTest : public CurlFtpControlTest, public ::testing::WithParamInterface<Case> {};

// tests/data/shop/ftp_faults.txt. A failed download leaves the local file as it was (missing, or the
// old one). A refused transfer leaves the session standing; after a dropped or timed-out one the next
// transfer logs in again by itself.
TEST_P(CurlFtpFaultTest, IsFalseWithinItsTimeOutWithTheReasonLeavesNoPartFileAndTheNextTransferWorks) {
    std::istringstream fields(GetParam().first);
    std::string name, step, fault, argument, limit, remote, localName;
    fields >> name >> step >> fault >> argument >> limit >> remote >> localName;
    FtpServerOptions options;
    options.dropAfterBytes = fault == "drop" ? std::stoll(argument) : options.dropAfterBytes;
    options.stallAfterBytes = fault == "stall" ? std::stoll(argument) : options.stallAfterBytes;
    options.muteCommands = fault == "mute" ? Lines{argument} : options.muteCommands;
    CurlFtpOptions limits;
    limits.connectTimeout = limit == "connect" ? 500ms : limits.connectTimeout;
    limits.stallTimeout = limit == "stall" ? 1s : limits.stallTimeout;
    limits.responseTimeout = limit == "response" ? 1s : limits.responseTimeout;
    Start(options, limits);
    server->root.Write("shop/da.txt", "da");
    server->root.Write("shop/gross.bin", std::string(8 << 20, 'x'));
    local.Write("a.jpg", "a");
    local.Write("bestellungen.csv", "alt");

    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(ftp->connect(server->Address(), FtpTestServer::kReadOnlyUser, FtpTestServer::kReadOnlyPassword,
                           kPassiveModeFlag),
              step != "log-in");
    if (step == "upload") {
        EXPECT_FALSE(ftp->upload(local / localName, remote, 1));
        EXPECT_FALSE(fs::exists(server->root / remote.substr(1)));
    } else if (step == "download") {
        EXPECT_FALSE(ftp->download(local / localName, remote));
    } else if (step == "quit") {
        ftp->disconnect();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
    EXPECT_NE(ftp->lastFailure().find(GetParam().second.at(0)), std::string::npos) << ftp->lastFailure();

    const bool goesOn = step == "upload" || step == "download";
    EXPECT_EQ(ftp->download(local / "da.txt", "/shop/da.txt"), goesOn) << ftp->lastFailure();
    EXPECT_EQ(ftp->lastFailure(), goesOn ? "" : "Keine Verbindung zum FTP-Server");
    EXPECT_EQ(std::distance(fs::directory_iterator(local.path()), {}),
              goesOn ? 3 : 2);  // a.jpg, bestellungen.csv, da.txt
    EXPECT_EQ(local.Read("bestellungen.csv"), "alt");
}

INSTANTIATE_TEST_SUITE_P(Cases, CurlFtpFaultTest, ::testing::ValuesIn(CasesOf("shop/ftp_faults.txt")), CaseName);

}  // namespace
}  // namespace warenkai::test
