#include "selectline/selectline_session.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>
#include <string>
#include <vector>

#include "common/cancel_request.h"
#include "tests/support/fake_transfer_world.h"

namespace warenkai::test {
namespace {

using ::testing::StrEq;
using ::testing::ThrowsMessage;
using Lines = std::vector<std::string>;

// Every call of the in-memory server stands in the journal, between what the user was shown.
class SelectlineSessionTest : public ::testing::Test, protected FakeTransferWorld {
protected:
    SelectlineSessionTest() {
        for (const char* code : {"AR", "AG", "TE", "KU", "AD"}) {
            database->Table(code);
        }
        database->onCall = [this](const std::string& call) { journal.Add(call); };
        context.selectline = [this] {
            journal.Add("create XFakt.App");
            return MakeMemorySelectline(database)();
        };
    }
};

TEST_F(SelectlineSessionTest, WarnsStartsWaitsUntilReadyLogsInAndOpensTheTablesInOrder) {
    database->notReadyChecks = 2;
    auto session =
        OpenSelectlineSession({"KU", "AD"}, context, {std::chrono::milliseconds(1), std::chrono::seconds(60)});
    EXPECT_EQ(journal.Entries(),
              (Lines{std::string("message: ") + kCloseSelectlineMessage, "create XFakt.App", "ApplicationReady",
                     "status: Selectline starten", "ApplicationReady", "status: Selectline starten", "ApplicationReady",
                     "status: Selectline anmelden", "login |", "getMandant |1", "CreateTable KU", "CreateTable AD"}));
    EXPECT_EQ(&session.Table("AD"), session.tables[1].second.get());
    EXPECT_THAT([&] { session.Table("AR"); },
                ThrowsMessage<SelectlineError>(StrEq("Die Tabelle AR ist nicht geöffnet")));
}

// How a session that cannot be opened ends: with a server error, or while the server starts with the
// user's cancel, and its text; no table after the failing one is opened.
TEST_F(SelectlineSessionTest, FailuresEndItWithTheirText) {
    const std::string cannotStart = "Selectline kann nicht gestartet werden";
    using NoServer = std::unique_ptr<SelectlineApplication>;
    const std::tuple<SelectlineFactory, int, std::string, Lines> cases[] = {
        {[]() -> NoServer { throw SelectlineError("Datenbank gesperrt."); }, 0, "Datenbank gesperrt.", {}},
        {[]() -> NoServer { throw std::runtime_error("Klasse nicht registriert"); }, 0,
         cannotStart + ": Klasse nicht registriert", {}},
        {[]() -> NoServer { return nullptr; }, 0, cannotStart + ".", {}},
        {nullptr, 0, cannotStart + ".", {}},
        {context.selectline, 0, "Unbekannte Tabelle AP", {"CreateTable AR", "CreateTable AG", "CreateTable AP"}},
        {context.selectline, 1'000'000,
         "Selectline hat sich nach 1 Sekunden nicht betriebsbereit gemeldet. Bitte prüfen Sie, ob Selectline gestartet "
         "werden kann, und versuchen Sie es dann noch einmal.", {}},
        {context.selectline, 1'000'000, "abgebrochen: Abgebrochen, bevor Selectline bereit war", {}}};
    for (const auto& [factory, notReadyChecks, text, tablesOpened] : cases) {
        journal.Clear();
        context.selectline = factory;
        database->notReadyChecks = notReadyChecks;
        if (text.starts_with("abgebrochen")) {
            cancel.Request();
        }
        std::string ending = "(geöffnet)";
        try {
            OpenSelectlineSession({"AR", "AG", "AP", "TE"}, context,
                                  {std::chrono::milliseconds(10), std::chrono::seconds(1)});
        } catch (const SelectlineError& error) {
            ending = error.what();
        } catch (const TransferCancelled& cancelled) {
            ending = std::string("abgebrochen: ") + cancelled.what();
        }
        EXPECT_EQ(ending, text);
        EXPECT_EQ(journal.Starting("CreateTable"), tablesOpened) << text;
    }
}

}  // namespace
}  // namespace warenkai::test
