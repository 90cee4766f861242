#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "selectline/variant.h"

namespace warenkai::test {
namespace {

// Floating numbers get a decimal comma, no trailing zeros or grouping, fifteen significant digits and an
// exponent when very large or tiny; whole numbers are plain; dates are day.month.year before 1970 and
// after 2038 too; truth values are Wahr and Falsch.
TEST(VariantToText, EveryType) {
    const std::vector<std::pair<Variant, std::string>> cases = {
        // floating numbers, negative ones, rounding to fifteen digits, large and tiny ones
        {Variant(19.9), "19,9"}, {Variant(100.0), "100"}, {Variant(0.1 + 0.2), "0,3"}, {Variant(12.5), "12,5"},
        {Variant(1234567.25), "1234567,25"}, {Variant(0.5), "0,5"}, {Variant(0.0), "0"}, {Variant(-0.0), "0"},
        {Variant(-19.9), "-19,9"}, {Variant(-100.0), "-100"}, {Variant(-0.25), "-0,25"}, {Variant(-1e20), "-1E+20"},
        {Variant(1.0 / 3.0), "0,333333333333333"}, {Variant(2.0 / 3.0), "0,666666666666667"},
        {Variant(123456789012345.0), "123456789012345"},
        {Variant(1.15 * 100.0), "115"},  // 114.99999999999999 in binary
        {Variant(19.99 * 3.0), "59,97"}, {Variant(1e20), "1E+20"}, {Variant(1e-20), "1E-20"},
        {Variant(1e15), "1E+15"}, {Variant(999999999999999.0), "999999999999999"},
        {Variant(1234567890123456789.0), "1,23456789012346E+18"}, {Variant(1.5e300), "1,5E+300"},
        {Variant(0.0001), "0,0001"}, {Variant(1e-12), "0,000000000001"},
        {Variant(1.0 / 3.0 / 1e6), "3,33333333333333E-07"}, {Variant(2.5e-16), "2,5E-16"},
        {Variant(std::numeric_limits<double>::infinity()), "1,#INF"},
        {Variant(-std::numeric_limits<double>::infinity()), "-1,#INF"},
        {Variant(std::numeric_limits<double>::quiet_NaN()), "NaN"},
        // whole numbers
        {Variant(std::int64_t{1234567}), "1234567"}, {Variant(-42), "-42"},
        {Variant(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808"},
        // dates, also before 1970 and after 2038
        {Variant(Date{2025, 3, 1}), "01.03.2025"}, {Variant(Date{2024, 12, 31}), "31.12.2024"},
        {Variant(Date{1965, 4, 1}), "01.04.1965"}, {Variant(Date{1899, 12, 30}), "30.12.1899"},
        {Variant(Date{2039, 1, 19}), "19.01.2039"}, {Variant(Date{9999, 12, 31}), "31.12.9999"},
        // truth values, empty and text
        {Variant(true), "Wahr"}, {Variant(false), "Falsch"}, {Variant(), ""},
        {Variant("Spaten \"Profi\"\r\nÄrger"), "Spaten \"Profi\"\r\nÄrger"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(value.ToText(), text);
    }
}

// --- to truth value ---------------------------------------------------------------------------------

TEST(VariantToBool, TruthValuesNumbersAndTexts) {
    for (const Variant& yes : {Variant(true), Variant(1), Variant(-1), Variant(0.5), Variant("Wahr"), Variant("wahr"),
                               Variant("WAHR"), Variant("True"), Variant("true"), Variant("Ja"), Variant("ja"),
                               Variant("1"), Variant("-1"), Variant("2,5")}) {
        EXPECT_TRUE(yes.ToBool()) << yes.ToText();
    }
    for (const Variant& no : {Variant(false), Variant(), Variant(0), Variant(0.0), Variant("Falsch"), Variant("False"),
                              Variant("Nein"), Variant("0"), Variant("0,0"), Variant(""), Variant("vielleicht")}) {
        EXPECT_FALSE(no.ToBool()) << no.ToText();
    }
}

// --- to number --------------------------------------------------------------------------------------

TEST(VariantToNumber, NumbersTruthValuesDatesAndTexts) {
    const std::vector<std::pair<Variant, double>> cases = {
        {Variant(19.9), 19.9}, {Variant(42), 42.0}, {Variant(true), -1.0}, {Variant(false), 0.0},
        {Variant(Date{1899, 12, 30}), 0.0}, {Variant(Date{1900, 1, 1}), 2.0}, {Variant(Date{2025, 3, 1}), 45717.0},
        {Variant(Date{1800, 1, 1}), -36522.0},
        // texts with a decimal comma or point
        {Variant("19,9"), 19.9}, {Variant("19.9"), 19.9}, {Variant(" -7,5 "), -7.5}, {Variant("1.234,5"), 1234.5},
        {Variant("1.234.567,25"), 1234567.25}, {Variant("1,5E+20"), 1.5e20}, {Variant("1E-20"), 1e-20},
        {Variant(",5"), 0.5}, {Variant("+3"), 3.0}};
    for (const auto& [value, number] : cases) {
        EXPECT_EQ(value.ToNumber(), number) << value.ToText();
    }
    EXPECT_EQ(Variant().ToNumber(), std::nullopt);
}

TEST(VariantToNumber, TextsThatAreNoNumber) {
    for (const char* text : {"", " ", "abc", "1,2,3", "1.2.3", "12.34,5", "1,2.3", "1E", "1E+", "-", ",", "1 2",
                             "0x10", "inf", "nan", "1e999"}) {
        EXPECT_EQ(Variant(text).ToNumber(), std::nullopt) << text;
    }
}

TEST(VariantToNumber, TextRoundTripOfFormattedNumbers) {
    for (const double number : {19.9, -0.25, 1e20, 1e-20, 123456789012345.0, 3.33333333333333e-07}) {
        EXPECT_EQ(ParseGermanNumber(FormatGermanNumber(number)), number) << number;
    }
}

}  // namespace
}  // namespace warenkai::test
