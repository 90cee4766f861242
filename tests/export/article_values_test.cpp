// The rules that turn values of Selectline into fields of the article file, where the generated
// scenarios of article_export_test.cpp do not reach.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "export/article_prices.h"
#include "export/clean_value.h"
#include "export/tax_table.h"
#include "tests/export/export_fixture.h"

namespace warenkai::test {
namespace {

// tests/data/export/values.txt: values cleaned and date texts rewritten.
TEST(ArticleValues, CleanedValuesAndRewrittenDates) {
    for (const auto& [input, expected] : Cases("export/values.txt")) {
        const std::string value = input.substr(input.find(' ') + 1);
        EXPECT_EQ(Lines{input.starts_with("clean ") ? CleanValue(value) : DateRewrite(value).value_or("-")}, expected)
            << input;
    }
    // Date values give what their regional text gives.
    for (const Date date : {Date{2, 1, 1}, Date{10000, 1, 1}, Date{-1, 1, 1}, Date{2025, 100, 0}}) {
        EXPECT_EQ(DateValueRewrite(Variant(date)), DateRewrite(Variant(date).ToText())) << Variant(date).ToText();
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

// The rate of the records for a code, or the error reading them raises.
std::string Rate(const Lines& records, const std::string& code) {
    auto database = std::make_shared<MemoryDatabase>();
    AddRecords(*database, records);
    try {
        return TaxTable::Read(*MakeMemorySelectline(database)()->CreateTable("UD")).Rate([&] {
            return RecordValue(code);
        });
    } catch (const SelectlineError& e) {
        return e.what();
    }
}

// tests/data/export/tax_rates.txt: dates as the server may give them, codes that do not match, errors
// where the search reads the field; and more records than a 16-bit count.
TEST(TaxRate, DatesAsTheServerMayGiveThemManyRecordsAndErrorsWhereTheSearchReadsTheField) {
    for (const auto& [code, lines] : Cases("export/tax_rates.txt")) {
        EXPECT_EQ(Rate(Lines(lines.begin() + 1, lines.end()), code), lines.at(0)) << lines.back();
    }
    Lines many(40'000, "UD\tSteuercode=#2\tGueltigAb=@2000-01-01\tSteuer=#7");
    many.push_back("UD\tSteuercode=#1\tGueltigAb=@2020-07-01\tSteuer=#19");
    EXPECT_EQ(Rate(many, "#1"), "19");
}

}  // namespace
}  // namespace warenkai::test
