#include "export/article_prices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "export/tax_table.h"
#include "selectline/selectline_application.h"
#include "tests/support/memory_selectline.h"

namespace warenkai {
namespace {

using test::MemoryDatabase;

// PriceText takes a shortcut for usual amounts; it must give what the general rule gives.
TEST(PriceTextTest, SameAsTheDecimalPointRuleOnTheRegionalText) {
    std::vector<double> amounts = {0.0,
                                   -0.0,
                                   0.1,
                                   0.099999999999999992,
                                   0.5,
                                   1,
                                   12.5,
                                   19.9,
                                   100,
                                   0.1 + 0.2,
                                   1.0 / 3.0,
                                   2.0 / 3.0,
                                   1234567.891,
                                   99999999999999.98,
                                   1e14,
                                   1e15,
                                   1e16,
                                   123456789012345678.0,
                                   1e-5,
                                   0.000123456789012345,
                                   -19.9,
                                   -0.5,
                                   std::numeric_limits<double>::quiet_NaN(),
                                   std::numeric_limits<double>::infinity()};
    std::mt19937_64 random(42);
    std::uniform_real_distribution<double> cents(0.0, 100000.0);
    std::uniform_real_distribution<double> exponent(-6.0, 16.0);
    for (int i = 0; i < 20000; ++i) {
        amounts.push_back(std::round(cents(random) * 100.0) / 100.0);
        amounts.push_back(std::pow(10.0, exponent(random)) * (i % 2 == 0 ? 1 : -1));
    }
    for (const double amount : amounts) {
        EXPECT_EQ(PriceText(Variant(amount)), DecimalPoint(Variant(amount).ToText())) << amount;
    }
    for (const Variant& other : {Variant(100), Variant(std::int64_t{-7}), Variant("12,50"), Variant(), Variant(true)}) {
        EXPECT_EQ(PriceText(other), DecimalPoint(other.ToText()));
    }
}

TEST(DateValueRewriteTest, SameAsDateRewriteOfTheRegionalText) {
    for (const Date date : {Date{2025, 3, 1}, Date{1999, 12, 31}, Date{2, 1, 1}, Date{9999, 12, 31}, Date{10000, 1, 1},
                            Date{-1, 1, 1}, Date{2025, 0, 0}, Date{2025, 100, 1}}) {
        EXPECT_EQ(DateValueRewrite(Variant(date)), DateRewrite(Variant(date).ToText()))
            << date.year << "-" << date.month << "-" << date.day;
    }
    EXPECT_EQ(DateValueRewrite(Variant("31.12.2024")), "2024-12-31");
    EXPECT_EQ(DateValueRewrite(Variant("2024-12-31")), std::nullopt);
    EXPECT_EQ(DateValueRewrite(Variant()), "");
}

// Day.month.year becomes year-month-day; parts after the third are dropped, parts taken as they are;
// fewer than three parts cannot be rewritten.
TEST(DateRewriteTest, RewritesThePartsAsTheyStand) {
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
        {"31.12.2024", "2024-12-31"},
        {Variant(Date{2025, 3, 1}).ToText(), "2025-03-01"},
        {"1.3.25", "25-3-1"},
        {"01.02.2003.04", "2003-02-01"},
        {"01.02.2003 12:00", "2003 12:00-02-01"},
        {"..", "--"},
        {"", ""},
        {"2025-03-01", std::nullopt},
        {"01.03", std::nullopt},
        {"01.03.", "-03-01"}};
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(DateRewrite(text), expected) << text;
    }
}

TEST(AsDateTest, DatesAndRegionalTexts) {
    EXPECT_EQ(AsDate(Variant(Date{2020, 7, 1})), (Date{2020, 7, 1}));
    EXPECT_EQ(AsDate(Variant("1.7.2020")), (Date{2020, 7, 1}));
    EXPECT_EQ(AsDate(Variant("01.07.2020 00:00:00")), (Date{2020, 7, 1}));
    EXPECT_EQ(AsDate(Variant("2020-07-01")), std::nullopt);
    EXPECT_EQ(AsDate(Variant("")), std::nullopt);
    EXPECT_EQ(AsDate(Variant()), std::nullopt);
    EXPECT_EQ(AsDate(Variant(44000)), std::nullopt);
}

TEST(SameValueTest, NumbersByNumberOtherwiseByText) {
    EXPECT_TRUE(SameValue(Variant(1), Variant(1)));
    EXPECT_TRUE(SameValue(Variant(1), Variant("1")));
    EXPECT_TRUE(SameValue(Variant(1), Variant(1.0)));
    EXPECT_FALSE(SameValue(Variant(1), Variant(2)));
    EXPECT_TRUE(SameValue(Variant("A1"), Variant("A1")));
    EXPECT_FALSE(SameValue(Variant("A1"), Variant("a1")));
    EXPECT_FALSE(SameValue(Variant(0), Variant()));
    EXPECT_TRUE(SameValue(Variant(), Variant("")));
}

// The tax rate chosen in memory from a tax table read once, for an article with the sales tax code 1.
class TaxRateTest : public ::testing::Test {
protected:
    TaxRateTest() { db->Table("UD"); }

    void Tax(Variant code, Variant validFrom, Variant rate) {
        db->Table("UD").Add({{"Steuercode", code}, {"GueltigAb", validFrom}, {"Steuer", rate}});
    }

    std::string Search() {
        auto application = test::MakeMemorySelectline(db)();
        auto taxes = application->CreateTable("UD");
        return TaxTable::Read(*taxes).Rate([&] { return salesTaxCode; });
    }

    // The result for every order of the tax records.
    std::vector<std::string> SearchInEveryOrder() {
        auto& rows = db->Table("UD").rows;
        std::vector<std::size_t> order(rows.size());
        for (std::size_t i = 0; i < order.size(); ++i) {
            order[i] = i;
        }
        const auto original = rows;
        std::vector<std::string> results;
        do {
            for (std::size_t i = 0; i < order.size(); ++i) {
                rows[i] = original[order[i]];
            }
            results.push_back(Search());
        } while (std::next_permutation(order.begin(), order.end()));
        rows = original;
        return results;
    }

    std::shared_ptr<MemoryDatabase> db = std::make_shared<MemoryDatabase>();
    Variant salesTaxCode = 1;
};

struct TaxRecord {
    Variant code, validFrom, rate;
};

TEST_F(TaxRateTest, GivesTheSameRateWhateverTheOrderOfTheRecords) {
    const std::vector<std::pair<std::vector<TaxRecord>, std::string>> cases = {
        // the latest valid-from date of the article's code wins
        {{{1, Date{2007, 1, 1}, 16}, {1, Date{2020, 7, 1}, 19}, {2, Date{2024, 1, 1}, 7}, {1, Date{1998, 4, 1}, 15}},
         "19"},
        {{{1, Date{2020, 7, 1}, 19}, {1, Date{2099, 1, 1}, 21}, {1, Date{2007, 1, 1}, 16}}, "21"},  // future date
        // compared as dates: as texts "01.07.2020" would sort before "31.12.2019"
        {{{1, Date{2019, 12, 31}, 16}, {1, Date{2020, 7, 1}, 19}, {1, Variant("02.01.2019"), 15}}, "19"},
        // a dated record wins over records without a readable date
        {{{1, Variant(), 7}, {1, Date{2007, 1, 1}, 16}, {1, Variant("unbekannt"), 5}}, "16"},
        {{{1, Date{2020, 7, 1}, 19.5}}, "19,5"},                     // the rate keeps its regional form
        {{{2, Date{2020, 7, 1}, 7}, {3, Date{2020, 7, 1}, 0}}, ""},  // no match
        {{}, ""},                                                    // no tax records
    };
    for (const auto& [records, expected] : cases) {
        db->Table("UD").rows.clear();
        for (const auto& record : records) {
            Tax(record.code, record.validFrom, record.rate);
        }
        for (const auto& result : SearchInEveryOrder()) {
            EXPECT_EQ(result, expected);
        }
    }
}

TEST_F(TaxRateTest, FirstInTableOrderOnATie) {
    Tax(1, Date{2020, 7, 1}, 19);
    Tax(1, Date{2020, 7, 1}, 16);
    Tax(1, Date{2007, 1, 1}, 15);
    EXPECT_EQ(Search(), "19");
    std::swap(db->Table("UD").rows[0], db->Table("UD").rows[1]);
    EXPECT_EQ(Search(), "16");
}

TEST_F(TaxRateTest, WithoutADatedRecordTheLastMatchingOneGivesTheRate) {
    Tax(1, Variant(), 7);
    Tax(1, Variant("unbekannt"), 5);
    Tax(2, Date{2007, 1, 1}, 16);
    EXPECT_EQ(Search(), "5");
}

TEST_F(TaxRateTest, CodesComparedAsValues) {
    Tax(1, Date{2020, 7, 1}, 19);
    Tax("A1", Date{2020, 7, 1}, 7);
    const std::vector<std::pair<Variant, std::string>> cases = {
        {"1", "19"}, {" 1", "19"}, {1.0, "19"}, {"1,0", "19"}, {"A1", "7"}, {"a1", ""}, {2, ""}, {Variant(), ""}};
    for (const auto& [code, expected] : cases) {
        salesTaxCode = code;
        EXPECT_EQ(Search(), expected) << code.ToText();
    }
}

// One read of the table, one search per sales tax code; the article's code is not read when the table
// is empty.
TEST_F(TaxRateTest, ReadOnceSearchedOncePerCode) {
    Tax(1, Date{2020, 7, 1}, 19);
    Tax(2, Date{2020, 7, 1}, 7);
    db->recordCalls = true;
    auto application = test::MakeMemorySelectline(db)();
    auto taxes = application->CreateTable("UD");
    TaxTable table = TaxTable::Read(*taxes);
    int codeReads = 0;
    for (const int code : {1, 2, 1, 1, 2}) {
        EXPECT_EQ(table.Rate([&] { return ++codeReads, Variant(code); }), code == 1 ? "19" : "7");
    }
    EXPECT_EQ(codeReads, 5);
    EXPECT_EQ(db->calls.size(), 1u + 2u + 2u * 4u);  // CreateTable, First, Recordcount; 3 fields and Next each

    db->Table("UD").rows.clear();
    table = TaxTable::Read(*taxes);
    EXPECT_EQ(table.Rate([&] { return ++codeReads, Variant(1); }), "");
    EXPECT_EQ(codeReads, 5);
}

// A field that cannot be read raises its error where a search over the table itself would read it:
// "GueltigAb" and "Steuer" of a matching record only, "Steuercode" of any record.
TEST_F(TaxRateTest, ErrorsOfReadingAreRaisedWhereTheSearchReadsTheField) {
    const std::vector<std::tuple<std::string, int, std::string>> cases = {
        {"Steuer", 2, ""}, {"Steuer", 1, "Steuer"}, {"GueltigAb", 1, "GueltigAb"}, {"Steuercode", 2, "Steuercode"}};
    for (const auto& [missing, code, raised] : cases) {
        db->Table("UD") = {};
        std::vector<std::pair<std::string, Variant>> fields = {
            {"Steuercode", code}, {"GueltigAb", Date{2020, 7, 1}}, {"Steuer", 19}};
        std::erase_if(fields, [&](const auto& field) { return field.first == missing; });
        db->Table("UD").Add(fields);
        std::string error;
        try {
            Search();
        } catch (const SelectlineError& e) {
            error = e.what();
        }
        EXPECT_EQ(error, raised.empty() ? "" : "Das Feld " + raised + " gibt es in der Tabelle UD nicht") << missing;
    }
}

TEST_F(TaxRateTest, MoreRecordsThanA16BitCount) {
    for (int i = 0; i < 40'000; ++i) {
        Tax(2, Date{2000, 1, 1}, 7);
    }
    Tax(1, Date{2020, 7, 1}, 19);
    EXPECT_EQ(Search(), "19");
}

}  // namespace
}  // namespace warenkai
