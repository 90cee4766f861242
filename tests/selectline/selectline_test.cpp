// What every Selectline server shares: its values as the program reads them (as a German Windows
// system's regional settings give them) and the session that starts the server and opens its tables.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <tuple>

#include "common/cancel_request.h"
#include "selectline/selectline_session.h"
#include "selectline/variant.h"
#include "tests/support/fake_transfer_world.h"

namespace warenkai::test {
namespace {

using Lines = std::vector<std::string>;

// Floating numbers with a decimal comma, no trailing zeros or grouping, fifteen significant digits
// and an exponent when very large or tiny; dates day.month.year, before 1970 and after 2038 too;
// truth values Wahr and Falsch.
TEST(VariantToText, EveryKind) {
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    const std::pair<Variant, const char*> cases[] = {
        {19.9, "19,9"}, {100.0, "100"}, {0.1 + 0.2, "0,3"}, {-0.0, "0"}, {-0.25, "-0,25"}, {-1e20, "-1E+20"},
        {1.0 / 3.0, "0,333333333333333"}, {2.0 / 3.0, "0,666666666666667"}, {1.15 * 100.0, "115"},
        {19.99 * 3.0, "59,97"}, {1e15, "1E+15"}, {999999999999999.0, "999999999999999"},
        {1234567890123456789.0, "1,23456789012346E+18"}, {1.5e300, "1,5E+300"}, {1e-12, "0,000000000001"},
        {1.0 / 3.0 / 1e6, "3,33333333333333E-07"}, {2.5e-16, "2,5E-16"}, {kInfinity, "1,#INF"}, {-kInfinity, "-1,#INF"},
        {std::numeric_limits<double>::quiet_NaN(), "NaN"},
        {std::numeric_limits<std::int64_t>::min(), "-9223372036854775808"},
        {Date{2025, 3, 1}, "01.03.2025"}, {Date{1899, 12, 30}, "30.12.1899"}, {Date{2039, 1, 19}, "19.01.2039"},
        {Date{9999, 12, 31}, "31.12.9999"}, {true, "Wahr"}, {false, "Falsch"}, {Variant(), ""},
        {"Spaten \"Profi\"\r\nÄrger", "Spaten \"Profi\"\r\nÄrger"}};
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(value.ToText(), text);
    }
}

// A number from whole and floating numbers, truth values (Wahr is -1), dates (days since 30.12.1899)
// and German or plain texts; true are the truth value, a number other than 0 and the words Wahr,
// True and Ja in any case.
TEST(VariantToNumberAndToBool, NumbersTruthValuesDatesAndTexts) {
    const std::tuple<Variant, std::optional<double>, bool> cases[] = {
        {42, 42.0, true}, {-1, -1.0, true}, {0, 0.0, false}, {0.5, 0.5, true}, {0.0, 0.0, false},
        {true, -1.0, true}, {false, 0.0, false}, {Date{1899, 12, 30}, 0.0, false}, {Date{2025, 3, 1}, 45717.0, true},
        {Date{1800, 1, 1}, -36522.0, true}, {Variant(), std::nullopt, false}, {"19,9", 19.9, true},
        {"19.9", 19.9, true}, {" -7,5 ", -7.5, true}, {"1.234.567,25", 1234567.25, true}, {"1,5E+20", 1.5e20, true},
        {"1E-20", 1e-20, true}, {",5", 0.5, true}, {"+3", 3.0, true}, {"0,0", 0.0, false}, {"-1", -1.0, true},
        {"wahr", std::nullopt, true}, {"TRUE", std::nullopt, true}, {"Ja", std::nullopt, true},
        {"Falsch", std::nullopt, false}, {"Nein", std::nullopt, false}, {"vielleicht", std::nullopt, false},
        {"", std::nullopt, false}};
    for (const auto& [value, number, truth] : cases) {
        EXPECT_EQ(value.ToNumber(), number) << value.ToText();
        EXPECT_EQ(value.ToBool(), truth) << value.ToText();
    }
    for (const char* text : {" ", "abc", "1,2,3", "1.2.3", "12.34,5", "1,2.3", "1E", "1E+", "-", ",", "1 2", "0x10",
                             "inf", "nan", "1e999"}) {
        EXPECT_EQ(Variant(text).ToNumber(), std::nullopt) << text;
    }
    for (const double number : {19.9, -0.25, 1e20, 1e-20, 123456789012345.0, 3.33333333333333e-07}) {
        EXPECT_EQ(ParseGermanNumber(FormatGermanNumber(number)), number) << number;
    }
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
