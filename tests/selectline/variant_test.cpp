#include "selectline/variant.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <utility>

namespace warenkai::test {
namespace {

// As a German Windows system's regional settings give them: floating numbers with a decimal comma,
// no trailing zeros or grouping, fifteen significant digits and an exponent when very large or tiny;
// dates day.month.year, before 1970 and after 2038 too; truth values Wahr and Falsch.
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

TEST(VariantToBool, TruthValuesNumbersAndTexts) {
    for (const Variant& yes : {Variant(true), Variant(-1), Variant(0.5), Variant("wahr"), Variant("TRUE"),
                               Variant("Ja"), Variant("-1"), Variant("2,5")}) {
        EXPECT_TRUE(yes.ToBool()) << yes.ToText();
    }
    for (const Variant& no : {Variant(false), Variant(), Variant(0), Variant(0.0), Variant("Falsch"), Variant("Nein"),
                              Variant("0,0"), Variant(""), Variant("vielleicht")}) {
        EXPECT_FALSE(no.ToBool()) << no.ToText();
    }
}

TEST(VariantToNumber, NumbersTruthValuesDatesAndTexts) {
    const std::pair<Variant, std::optional<double>> cases[] = {
        {42, 42.0}, {true, -1.0}, {false, 0.0}, {Date{1899, 12, 30}, 0.0}, {Date{2025, 3, 1}, 45717.0},
        {Date{1800, 1, 1}, -36522.0}, {Variant(), std::nullopt}, {"19,9", 19.9}, {"19.9", 19.9}, {" -7,5 ", -7.5},
        {"1.234.567,25", 1234567.25}, {"1,5E+20", 1.5e20}, {"1E-20", 1e-20}, {",5", 0.5}, {"+3", 3.0}};
    for (const auto& [value, number] : cases) {
        EXPECT_EQ(value.ToNumber(), number) << value.ToText();
    }
    for (const char* text : {"", " ", "abc", "1,2,3", "1.2.3", "12.34,5", "1,2.3", "1E", "1E+", "-", ",", "1 2", "0x10",
                             "inf", "nan", "1e999"}) {
        EXPECT_EQ(Variant(text).ToNumber(), std::nullopt) << text;
    }
    for (const double number : {19.9, -0.25, 1e20, 1e-20, 123456789012345.0, 3.33333333333333e-07}) {
        EXPECT_EQ(ParseGermanNumber(FormatGermanNumber(number)), number) << number;
    }
}

}  // namespace
}  // namespace warenkai::test
