#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/transfer_guard.h"
#include "selectline/selectline_session.h"
#include "tests/support/fake_transfer_world.h"
#include "tests/support/memory_selectline.h"
#include "tests/support/recording_ftp.h"

namespace warenkai::test {
namespace {

const std::string kMessage =
    "message: Um Daten in Selectline zu importieren muß Selectline beendet werden. Sollten Sie Selectline geöffnet "
    "haben schließen Sie Selectline bitte.";

// Passes every call on to the in-memory server and journals it, so the calls stand in one sequence
// with what the user was shown.
class JournalingApplication final : public SelectlineApplication {
public:
    JournalingApplication(std::unique_ptr<SelectlineApplication> inner, Journal& journal)
        : m_inner(std::move(inner)), m_journal(journal) {}

    bool ApplicationReady() override {
        m_journal.Add("ApplicationReady");
        return m_inner->ApplicationReady();
    }
    void login(const std::string& user, const std::string& password) override {
        m_journal.Add("login \"" + user + "\" \"" + password + "\"");
        m_inner->login(user, password);
    }
    void getMandant(const std::string& mandant, int mode) override {
        m_journal.Add("getMandant \"" + mandant + "\" " + std::to_string(mode));
        m_inner->getMandant(mandant, mode);
    }
    std::unique_ptr<SelectlineTable> CreateTable(const std::string& code) override {
        m_journal.Add("CreateTable " + code);
        return m_inner->CreateTable(code);
    }
    Variant Listenpreis(const std::string& article) override { return m_inner->Listenpreis(article); }
    std::unique_ptr<SelectlineDocument> NeuerBelegAuto(const std::string& kind, const std::string& text) override {
        return m_inner->NeuerBelegAuto(kind, text);
    }

private:
    std::unique_ptr<SelectlineApplication> m_inner;
    Journal& m_journal;
};

class SelectlineSessionTest : public ::testing::Test, protected WindowFakes {
protected:
    SelectlineSessionTest() {
        for (const char* code : {"AR", "AG", "TE", "AP", "UD", "KU", "AD"}) {
            database->Table(code);
        }
        database->Table("AR").Add({{"Artikelnummer", "10001"}}).Add({{"Artikelnummer", "10002"}});
        factory = JournalingFactory();
    }

    SelectlineFactory JournalingFactory() {
        return [this]() -> std::unique_ptr<SelectlineApplication> {
            journal.Add("create XFakt.App");
            return std::make_unique<JournalingApplication>(MakeMemorySelectline(database)(), journal);
        };
    }

    TransferContext Context() { return TransferContext{status, dialogs, web, ftp, factory, "/programm", cancel}; }

    std::vector<std::string> ArticleTransferStart() {
        return {kMessage,          "create XFakt.App",  "ApplicationReady", "status: Selectline anmelden",
                "login \"\" \"\"", "getMandant \"\" 1", "CreateTable AR",   "CreateTable AG",
                "CreateTable TE",  "CreateTable AP",    "CreateTable UD"};
    }

    RecordingFtpControl ftp{journal};
    std::shared_ptr<MemoryDatabase> database = std::make_shared<MemoryDatabase>();
    SelectlineFactory factory;
};

// --- the procedure ----------------------------------------------------------------------------------

TEST_F(SelectlineSessionTest, AReadyServerGoesStraightToLoginAndOpensTheTablesInOrder) {
    auto context = Context();
    const auto session = OpenSelectlineSession({"AR", "AG", "TE", "AP", "UD"}, context);
    EXPECT_EQ(journal.Entries(), ArticleTransferStart());
    ASSERT_EQ(session.tables.size(), 5u);
    const std::vector<std::string> codes = {"AR", "AG", "TE", "AP", "UD"};
    for (std::size_t i = 0; i < codes.size(); ++i) {
        EXPECT_EQ(session.tables[i].first, codes[i]);
    }
    EXPECT_EQ(status.statusText, "Selectline anmelden");  // kept until the caller sets its own
}

TEST_F(SelectlineSessionTest, TheCustomerImportOpensItsTablesInItsOrder) {
    auto context = Context();
    auto session = OpenSelectlineSession({"KU", "AD"}, context);
    EXPECT_EQ(journal.Starting("CreateTable"), (std::vector<std::string>{"CreateTable KU", "CreateTable AD"}));
    EXPECT_NO_THROW(session.Table("KU"));
    EXPECT_NO_THROW(session.Table("AD"));
    EXPECT_THROW(session.Table("AR"), SelectlineError);
}

TEST_F(SelectlineSessionTest, ASlowServerShowsStartingWhileItIsAskedAgain) {
    database->notReadyChecks = 3;
    auto context = Context();
    OpenSelectlineSession({"KU", "AD"}, context, {std::chrono::milliseconds(1), std::chrono::seconds(60)});
    const std::vector<std::string> waiting = {"ApplicationReady", "status: Selectline starten"};
    std::vector<std::string> expected = {kMessage, "create XFakt.App"};
    for (int i = 0; i < 3; ++i) {
        expected.insert(expected.end(), waiting.begin(), waiting.end());
    }
    expected.insert(expected.end(), {"ApplicationReady", "status: Selectline anmelden", "login \"\" \"\"",
                                     "getMandant \"\" 1", "CreateTable KU", "CreateTable AD"});
    EXPECT_EQ(journal.Entries(), expected);
}

TEST_F(SelectlineSessionTest, AServerThatNeverGetsReadyIsGivenUpAfterTheTimeOut) {
    database->notReadyChecks = 1'000'000;
    auto context = Context();
    EXPECT_THAT(
        [&] {
            OpenSelectlineSession({"AR"}, context, {std::chrono::milliseconds(10), std::chrono::seconds(1)});
        },
        ::testing::ThrowsMessage<SelectlineError>(
            ::testing::StrEq("Selectline hat sich nach 1 Sekunden nicht betriebsbereit gemeldet. Bitte prüfen Sie, ob "
                             "Selectline gestartet werden kann, und versuchen Sie es dann noch einmal.")));
    EXPECT_GE(journal.Starting("ApplicationReady").size(), 10u);
    EXPECT_TRUE(journal.Starting("login").empty());
    EXPECT_TRUE(journal.Starting("CreateTable").empty());
}

// --- failures ---------------------------------------------------------------------------------------

TEST_F(SelectlineSessionTest, AServerThatCannotBeCreatedEndsTheTransferAndTheProgramGoesOn) {
    factory = []() -> std::unique_ptr<SelectlineApplication> {
        throw SelectlineError("Die Selectline-Datenbank \"/programm/Selectline.sqlite\" ist gesperrt.");
    };
    auto context = Context();
    bool reachedTheTables = false;
    const auto outcome = RunTransfer(status, dialogs, [&] {
        status.ClearErrors();
        auto session = OpenSelectlineSession({"AR", "AG", "TE", "AP", "UD"}, context);
        reachedTheTables = true;
    });
    EXPECT_EQ(outcome, TransferOutcome::Stopped);
    EXPECT_FALSE(reachedTheTables);
    const std::string text = "Die Selectline-Datenbank \"/programm/Selectline.sqlite\" ist gesperrt.";
    EXPECT_EQ(journal.Entries(),
              (std::vector<std::string>{"errors cleared", kMessage, "status: Die Übertragung wurde abgebrochen",
                                        "error: " + text, "message: " + text}));

    // The next transfer opens a new session from the start, message box included.
    journal.Clear();
    factory = JournalingFactory();
    auto secondContext = Context();
    EXPECT_EQ(RunTransfer(status, dialogs,
                          [&] {
                              OpenSelectlineSession({"AR", "AG", "TE", "AP", "UD"}, secondContext);
                          }),
              TransferOutcome::Completed);
    EXPECT_EQ(journal.Entries(), ArticleTransferStart());
}

TEST_F(SelectlineSessionTest, OtherErrorsOfTheFactoryBecomeServerErrors) {
    factory = []() -> std::unique_ptr<SelectlineApplication> { throw std::runtime_error("Klasse nicht registriert"); };
    auto context = Context();
    EXPECT_THAT([&] { OpenSelectlineSession({"AR"}, context); },
                ::testing::ThrowsMessage<SelectlineError>(
                    ::testing::StrEq("Selectline kann nicht gestartet werden: Klasse nicht registriert")));
}

TEST_F(SelectlineSessionTest, AFactoryThatGivesNoServerIsAServerError) {
    factory = []() -> std::unique_ptr<SelectlineApplication> { return nullptr; };
    auto context = Context();
    EXPECT_THROW(OpenSelectlineSession({"AR"}, context), SelectlineError);
    factory = nullptr;
    auto emptyContext = Context();
    EXPECT_THROW(OpenSelectlineSession({"AR"}, emptyContext), SelectlineError);
}

TEST_F(SelectlineSessionTest, ATableThatCannotBeOpenedEndsTheTransferWithTheServersText) {
    database->tables.erase("TE");
    auto context = Context();
    const auto outcome = RunTransfer(status, dialogs, [&] {
        OpenSelectlineSession({"AR", "AG", "TE", "AP", "UD"}, context);
    });
    EXPECT_EQ(outcome, TransferOutcome::Stopped);
    EXPECT_EQ(journal.Starting("CreateTable"),
              (std::vector<std::string>{"CreateTable AR", "CreateTable AG", "CreateTable TE"}));
    EXPECT_EQ(status.errors, (std::vector<std::string>{"Unbekannte Tabelle TE"}));
    EXPECT_EQ(journal.Entries().back(), "message: Unbekannte Tabelle TE");
    EXPECT_EQ(status.statusText, "Die Übertragung wurde abgebrochen");
}

}  // namespace
}  // namespace warenkai::test
