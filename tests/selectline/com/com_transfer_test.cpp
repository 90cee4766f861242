// The article transfer over the COM layer against the fake "XFakt.App": the article file it writes,
// and how an error of the server, or the end of the server's process, reaches the user.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "export/article_export.h"
#include "export/article_transfer.h"
#include "export/articles_seen.h"
#include "selectline/com/com_selectline.h"
#include "selectline/selectline_session.h"
#include "tests/export/generated_articles.h"
#include "tests/selectline/com/fake_xfakt_server.h"
#include "tests/support/fake_transfer_world.h"

namespace warenkai::test {
namespace {

using ::testing::AllOf;
using ::testing::AnyOf;
using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::Eq;
using ::testing::StartsWith;

// The article transfer's tables of `database` served by `server`, with the memory fake's keys, and
// the articles' "Listenpreis" as the server's list prices.
void Serve(const MemoryDatabase& database, FakeXFakt& server) {
    const std::pair<const char*, std::vector<std::string>> tables[] = {
        {"AR", {"Artikelnummer"}},
        {"AG", {"Nummer"}},
        {"TE", {"Schluessel"}},
        {"AP", {"Artikelnummer", "Preisart", "Preisnummer"}},
        {"UD", {}}};
    for (const auto& [code, keys] : tables) {
        FakeTable& table = server.tables[code];
        table.keys = keys;
        for (const auto& row : database.tables.at(code).rows) {
            table.records.emplace_back(row.begin(), row.end());
        }
    }
    for (const auto& record : server.tables["AR"].records) {
        const auto number = record.find("Artikelnummer");
        const auto price = record.find("Listenpreis");
        if (number != record.end() && price != record.end() && price->second.ToNumber()) {
            server.listPrices.emplace(number->second.ToText(), std::llround(*price->second.ToNumber() * 10000));
        }
    }
}

// A transfer's world whose Selectline is "XFakt.App" over COM; the fake is registered in this
// process for each test.
class ComTransferTest : public ::testing::Test, protected FakeTransferWorld {
protected:
    ComTransferTest() {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        registration = std::make_unique<FakeXFaktRegistration>(server);
        context.selectline = MakeComSelectline();
    }
    ~ComTransferTest() override {
        registration.reset();
        CoUninitialize();
        EXPECT_EQ(server->liveObjects, 0) << "objects of the server not released";
    }

    std::shared_ptr<FakeXFakt> server = std::make_shared<FakeXFakt>();
    std::unique_ptr<FakeXFaktRegistration> registration;
};

// Every kind of value the server hands over (texts outside Windows-1252, whole and floating numbers,
// dates, truth values, empty fields) and every look-up by key gives the same file as in memory.
TEST_F(ComTransferTest, ArticleFileIsTheSameAsFromTheSameDataInMemory) {
    AddGeneratedArticles(*database, 46);
    UseGeneratedMapping(settings, "repeated");
    Serve(*database, *server);
    server->recordCalls = false;
    auto articleFile = [&](SelectlineFactory selectline) {
        TempFolder programFolder;
        TransferContext run{status, dialogs, web, ftp, std::move(selectline), programFolder.path(), cancel};
        SelectlineSession session = OpenSelectlineSession({"AR", "AG", "TE", "AP", "UD"}, run);
        ArticlesSeen seen;
        EXPECT_EQ(ExportArticles(settings, run, session, seen), 1);
        return programFolder.Read("artikelstamm1.csv");
    };

    const std::string inMemory = articleFile(MakeMemorySelectline(database));
    EXPECT_GT(std::count(inMemory.begin(), inMemory.end(), '\n'), 30) << inMemory;
    EXPECT_EQ(articleFile(MakeComSelectline()), inMemory);
}

// How the transfer ends when the server fails: from the start, or after `afterArticles` articles.
struct ServerFailureCase {
    const char* name;
    const char* member;  // "App.getMandant"
    FakeFailure failure;
    int afterArticles;
    ::testing::Matcher<const std::string&> message;
};

void PrintTo(const ServerFailureCase& failure, std::ostream* out) {
    *out << failure.name;
}

class ComTransferFailureTest : public ComTransferTest, public ::testing::WithParamInterface<ServerFailureCase> {};

// The server's own text or the call and its code: in a message box and in the error list, never a
// crash. (The server's process ending under it is ServerProcessThatEndsMidWalk below.)
TEST_P(ComTransferFailureTest, EndsTheTransferWithAMessage) {
    const ServerFailureCase& failure = GetParam();
    AddGeneratedArticles(*database, 4);
    UseGeneratedMapping(settings, "repeated");
    Serve(*database, *server);
    server->onCall = [&, articles = 0](const std::string& call) mutable {
        articles += call == "AR.Next()" ? 1 : 0;
        if (articles == failure.afterArticles) {
            server->failures[failure.member] = failure.failure;
        }
    };

    EXPECT_EQ(RunArticleTransfer(settings, context), TransferOutcome::Stopped);
    const auto entries = journal.Entries();
    ASSERT_FALSE(status.errors.empty());
    ASSERT_GE(entries.size(), 3u);
    EXPECT_THAT(std::vector<std::string>(entries.end() - 3, entries.end()),
                ElementsAre("status: Die Übertragung wurde abgebrochen", "error: " + status.errors.back(),
                            "message: " + status.errors.back()));
    EXPECT_THAT(status.errors.back(), failure.message);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, ComTransferFailureTest,
    ::testing::Values(ServerFailureCase{"ExceptionAtLogIn",
                                        "App.getMandant",
                                        {DISP_E_EXCEPTION, "Mandant gesperrt", false},
                                        0,
                                        Eq("Mandant gesperrt")},
                      // What a call gets when the server's process is gone (the apartment's disconnect).
                      ServerFailureCase{"DisconnectedMidWalk",
                                        "AR.GetField",
                                        {RPC_E_DISCONNECTED, "", false},
                                        2,
                                        AllOf(StartsWith("Fehler beim Aufruf von \"GetField\" in Selectline: "),
                                              EndsWith(" (0x80010108)"))}),
    [](const auto& parameter) { return std::string(parameter.param.name); });

// The fake as a process of its own (fake_xfakt_local_server.exe beside this program), whose process
// ends in its second "AR.Next": the transfer ends at once with a message naming the call.
TEST(ComServerProcessTest, ServerProcessThatEndsMidWalkEndsTheTransferWithAMessage) {
    wchar_t buffer[MAX_PATH];
    const std::wstring thisProgram(buffer, GetModuleFileNameW(nullptr, buffer, MAX_PATH));
    const FakeXFaktRegistryEntries entries(L"\"" + thisProgram.substr(0, thisProgram.find_last_of(L'\\')) +
                                           L"\\fake_xfakt_local_server.exe\" --die-at-next 2");
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        FakeTransferWorld world;
        world.context.selectline = MakeComSelectline();
        world.settings.mapping[0].selectlineField = "Artikelnummer";
        world.settings.mapping[15].selectlineField = "Artikelgruppe";

        EXPECT_EQ(RunArticleTransfer(world.settings, world.context), TransferOutcome::Stopped);
        ASSERT_FALSE(world.status.errors.empty());
        // The call fails (RPC_S_CALL_FAILED under wine), or the apartment has already seen the server
        // go (RPC_E_DISCONNECTED, RPC_S_SERVER_UNAVAILABLE).
        EXPECT_THAT(world.status.errors.back(),
                    AllOf(StartsWith("Fehler beim Aufruf von \"Next\" in Selectline: "),
                          AnyOf(EndsWith(" (0x800706BE)"), EndsWith(" (0x80010108)"), EndsWith(" (0x800706BA)"))));
        EXPECT_EQ(world.journal.Entries().back(), "message: " + world.status.errors.back());
    }
    CoUninitialize();
}

}  // namespace
}  // namespace warenkai::test
