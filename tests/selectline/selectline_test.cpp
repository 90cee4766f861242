// What every Selectline server shares: its values as the program reads them (as a German Windows
// system's regional settings give them) and the session that starts the server and opens its tables.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <tuple>

#include "common/cancel_request.h"
#include "selectline/selectline_session.h"
#include "selectline/variant.h"
#include "tests/selectline/selectline_steps.h"
#include "tests/support/fake_transfer_world.h"

namespace warenkai::test {
namespace {

using Lines = std::vector<std::string>;

// The values of variant_values.txt; a text's line ends and quotes stay.
TEST(Variant, TextNumberAndTruthValue) {
    const auto values = DataLines("variant_values.txt");
    for (const std::string& line : values) {
        const std::size_t end = line.find(" | "), start = std::min<std::size_t>(2, end);
        const std::string text = line.substr(start, end - start);
        Date date;
        std::sscanf(text.c_str(), "%d-%d-%d", &date.year, &date.month, &date.day);
        const Variant value = line[0] == 'r'   ? Variant(std::strtod(text.c_str(), nullptr))
                              : line[0] == 'i' ? Variant(std::int64_t{std::stoll(text)})
                              : line[0] == 'd' ? Variant(date)
                              : line[0] == 'b' ? Variant(text == "1")
                              : line[0] == 't' ? Variant(text)
                                               : Variant();
        char number[32] = "-";
        if (const auto read = value.ToNumber()) {
            *std::to_chars(number, number + 31, *read).ptr = '\0';
        }
        EXPECT_EQ(line.substr(0, end) + " | " + value.ToText() + " | " + number + " | " + std::to_string(value.ToBool()),
                  line);
    }
    EXPECT_EQ(values.size(), 72u);
    EXPECT_EQ(Variant("Spaten \"Profi\"\r\nÄrger").ToText(), "Spaten \"Profi\"\r\nÄrger");
}

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
                ::testing::ThrowsMessage<SelectlineError>("Die Tabelle AR ist nicht geöffnet"));
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
        {[this] { cancel.Request(); return MakeMemorySelectline(database)(); }, 1'000'000,
         "abgebrochen: Abgebrochen, bevor Selectline bereit war", {}}};
    for (const auto& [factory, notReadyChecks, text, tablesOpened] : cases) {
        journal.Clear();
        context.selectline = factory;
        database->notReadyChecks = notReadyChecks;
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
