// The rules that turn values of Selectline into fields of the article file, where the generated
// scenarios of article_export_test.cpp do not reach.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <tuple>

#include "export/article_prices.h"
#include "export/clean_value.h"
#include "export/tax_table.h"
#include "tests/support/memory_selectline.h"

namespace warenkai::test {
namespace {

// Blanks (not tabs) around the value go, a lone CR becomes a blank, a lone LF goes.
TEST(CleanValue, BlanksAndLoneLineBreaks) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {" \tTab\t ", "\tTab\t"}, {"a\nb", "ab"}, {"a\rb", "a b"}, {" 19\" O'Brien\r\n", "19´ O´Brien "}};
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(CleanValue(value), expected) << value;
    }
}

// PriceText takes a shortcut for usual amounts; it must give what the rule gives: the regional text
// with a point for the comma.
TEST(PriceText, SameAsTheDecimalPointRuleOnTheRegionalText) {
    // clang-format off
    std::vector<Variant> amounts = {-0.0, 0.1 + 0.2, 1.0 / 3.0, 99999999999999.98, 1e15, 1e16, 123456789012345678.0,
                                    0.000123456789012345, std::numeric_limits<double>::quiet_NaN(),
                                    std::numeric_limits<double>::infinity(), std::int64_t{-7}, "12,50", true};
    // clang-format on
    std::mt19937_64 random(42);
    for (int i = 0; i < 20000; ++i) {
        amounts.emplace_back(std::round(std::uniform_real_distribution<double>(0, 1e5)(random) * 100.0) / 100.0);
        amounts.emplace_back(std::pow(10.0, std::uniform_real_distribution<double>(-6, 16)(random)) * (i % 2 ? -1 : 1));
    }
    for (const Variant& amount : amounts) {
        EXPECT_EQ(PriceText(amount), DecimalPoint(amount.ToText())) << amount.ToText();
    }
}

// The parts as they stand, also empty ones; fewer than three parts cannot be rewritten. Date values
// give what their regional text gives.
TEST(DateRewrite, PartsAsTheyStand) {
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
        {"01.02.2003 12:00", "2003 12:00-02-01"}, {"..", "--"}, {"01.03.", "-03-01"}, {"01.03", std::nullopt}};
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(DateRewrite(text), expected) << text;
    }
    for (const Date date : {Date{2, 1, 1}, Date{10000, 1, 1}, Date{-1, 1, 1}, Date{2025, 100, 0}}) {
        EXPECT_EQ(DateValueRewrite(Variant(date)), DateRewrite(Variant(date).ToText())) << Variant(date).ToText();
    }
}

using Fields = std::vector<std::pair<std::string, Variant>>;

Fields Tax(Variant code, Variant validFrom, Variant rate, const std::string& missing = "") {
    Fields record = {{"Steuercode", code}, {"GueltigAb", validFrom}, {"Steuer", rate}};
    std::erase_if(record, [&](const auto& field) { return field.first == missing; });
    return record;
}

// A date text with a time of day is a date, a number is none (so the dated record wins); more records
// than a 16-bit count; an empty sales tax code matches no code 0. The table is read ahead; a field
// that cannot be read raises its error where a search over the table itself would read it:
// "GueltigAb" and "Steuer" of a matching record only, "Steuercode" of any record.
TEST(TaxRate, DatesAsTheServerMayGiveThemManyRecordsAndErrorsWhereTheSearchReadsTheField) {
    std::vector<Fields> many(40'000, Tax(2, Date{2000, 1, 1}, 7));
    many.push_back(Tax(1, Date{2020, 7, 1}, 19));
    const std::tuple<std::vector<Fields>, Variant, std::string> cases[] = {
        {{Tax(1, Date{2020, 1, 1}, 16), Tax(1, "01.07.2020 00:00:00", 19)}, 1, "19"},
        {{Tax(1, Date{1990, 1, 1}, 16), Tax(1, 44000, 19)}, 1, "16"},
        {many, 1, "19"},
        {{Tax(0, Date{2020, 7, 1}, 7)}, Variant(), ""},
        {{Tax(2, Date{2020, 7, 1}, 19, "Steuer")}, 1, ""},
        {{Tax(1, Date{2020, 7, 1}, 19, "Steuer")}, 1, "Das Feld Steuer gibt es in der Tabelle UD nicht"},
        {{Tax(1, Date{2020, 7, 1}, 19, "GueltigAb")}, 1, "Das Feld GueltigAb gibt es in der Tabelle UD nicht"},
        {{Tax(2, Date{2020, 7, 1}, 19, "Steuercode")}, 1, "Das Feld Steuercode gibt es in der Tabelle UD nicht"},
    };
    for (const auto& [records, code, expected] : cases) {
        auto database = std::make_shared<MemoryDatabase>();
        for (const auto& record : records) {
            database->Table("UD").Add(record);
        }
        std::string rate;
        try {
            rate = TaxTable::Read(*MakeMemorySelectline(database)()->CreateTable("UD")).Rate([&] { return code; });
        } catch (const SelectlineError& e) {
            rate = e.what();
        }
        EXPECT_EQ(rate, expected) << records.size() << " records, " << expected;
    }
}

}  // namespace
}  // namespace warenkai::test
