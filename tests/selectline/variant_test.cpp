#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "selectline/variant.h"

namespace warenkai::test {
namespace {

// --- floating numbers to text -----------------------------------------------------------------------

TEST(VariantFloatingText, UsesADecimalCommaWithoutTrailingZerosOrGrouping) {
    EXPECT_EQ(Variant(19.9).ToText(), "19,9");
    EXPECT_EQ(Variant(100.0).ToText(), "100");
    EXPECT_EQ(Variant(0.1 + 0.2).ToText(), "0,3");
    EXPECT_EQ(Variant(12.5).ToText(), "12,5");
    EXPECT_EQ(Variant(1234567.25).ToText(), "1234567,25");
    EXPECT_EQ(Variant(0.5).ToText(), "0,5");
    EXPECT_EQ(Variant(0.0).ToText(), "0");
    EXPECT_EQ(Variant(-0.0).ToText(), "0");
}

TEST(VariantFloatingText, NegativeNumbers) {
    EXPECT_EQ(Variant(-19.9).ToText(), "-19,9");
    EXPECT_EQ(Variant(-100.0).ToText(), "-100");
    EXPECT_EQ(Variant(-0.25).ToText(), "-0,25");
    EXPECT_EQ(Variant(-1e20).ToText(), "-1E+20");
}

TEST(VariantFloatingText, RoundsToFifteenSignificantDigits) {
    EXPECT_EQ(Variant(1.0 / 3.0).ToText(), "0,333333333333333");
    EXPECT_EQ(Variant(2.0 / 3.0).ToText(), "0,666666666666667");
    EXPECT_EQ(Variant(123456789012345.0).ToText(), "123456789012345");
    EXPECT_EQ(Variant(1.15 * 100.0).ToText(), "115");  // 114.99999999999999 in binary
    EXPECT_EQ(Variant(19.99 * 3.0).ToText(), "59,97");
}

TEST(VariantFloatingText, VeryLargeAndTinyNumbersUseAnExponent) {
    EXPECT_EQ(Variant(1e20).ToText(), "1E+20");
    EXPECT_EQ(Variant(1e-20).ToText(), "1E-20");
    EXPECT_EQ(Variant(1e15).ToText(), "1E+15");
    EXPECT_EQ(Variant(999999999999999.0).ToText(), "999999999999999");
    EXPECT_EQ(Variant(1234567890123456789.0).ToText(), "1,23456789012346E+18");
    EXPECT_EQ(Variant(1.5e300).ToText(), "1,5E+300");
    EXPECT_EQ(Variant(0.0001).ToText(), "0,0001");
    EXPECT_EQ(Variant(1e-12).ToText(), "0,000000000001");
    EXPECT_EQ(Variant(1.0 / 3.0 / 1e6).ToText(), "3,33333333333333E-07");
    EXPECT_EQ(Variant(2.5e-16).ToText(), "2,5E-16");
}

TEST(VariantFloatingText, NotANumberAndInfinityDoNotCrash) {
    EXPECT_EQ(Variant(std::numeric_limits<double>::infinity()).ToText(), "1,#INF");
    EXPECT_EQ(Variant(-std::numeric_limits<double>::infinity()).ToText(), "-1,#INF");
    EXPECT_EQ(Variant(std::numeric_limits<double>::quiet_NaN()).ToText(), "NaN");
}

// --- other types to text ----------------------------------------------------------------------------

TEST(VariantOtherText, WholeNumbersArePlain) {
    EXPECT_EQ(Variant(std::int64_t{1234567}).ToText(), "1234567");
    EXPECT_EQ(Variant(-42).ToText(), "-42");
    EXPECT_EQ(Variant(std::numeric_limits<std::int64_t>::min()).ToText(), "-9223372036854775808");
}

TEST(VariantOtherText, DatesAreDayMonthYearWithTwoDigitDayAndMonth) {
    EXPECT_EQ(Variant(Date{2025, 3, 1}).ToText(), "01.03.2025");
    EXPECT_EQ(Variant(Date{2024, 12, 31}).ToText(), "31.12.2024");
    EXPECT_EQ(Variant(Date{1965, 4, 1}).ToText(), "01.04.1965");  // before 1970
    EXPECT_EQ(Variant(Date{1899, 12, 30}).ToText(), "30.12.1899");
    EXPECT_EQ(Variant(Date{2039, 1, 19}).ToText(), "19.01.2039");  // after 2038
    EXPECT_EQ(Variant(Date{9999, 12, 31}).ToText(), "31.12.9999");
}

TEST(VariantOtherText, TruthValuesEmptyAndText) {
    EXPECT_EQ(Variant(true).ToText(), "Wahr");
    EXPECT_EQ(Variant(false).ToText(), "Falsch");
    EXPECT_EQ(Variant().ToText(), "");
    EXPECT_EQ(Variant("Spaten \"Profi\"\r\nÄrger").ToText(), "Spaten \"Profi\"\r\nÄrger");
}

// --- to truth value ---------------------------------------------------------------------------------

TEST(VariantToBool, TruthValuesNumbersAndTexts) {
    EXPECT_TRUE(Variant(true).ToBool());
    EXPECT_FALSE(Variant(false).ToBool());
    EXPECT_FALSE(Variant().ToBool());
    EXPECT_TRUE(Variant(1).ToBool());
    EXPECT_TRUE(Variant(-1).ToBool());
    EXPECT_FALSE(Variant(0).ToBool());
    EXPECT_TRUE(Variant(0.5).ToBool());
    EXPECT_FALSE(Variant(0.0).ToBool());
    for (const char* yes : {"Wahr", "wahr", "WAHR", "True", "true", "Ja", "ja", "1", "-1", "2,5"}) {
        EXPECT_TRUE(Variant(yes).ToBool()) << yes;
    }
    for (const char* no : {"Falsch", "False", "Nein", "0", "0,0", "", "vielleicht"}) {
        EXPECT_FALSE(Variant(no).ToBool()) << no;
    }
}

// --- to number --------------------------------------------------------------------------------------

TEST(VariantToNumber, NumbersTruthValuesAndDates) {
    EXPECT_EQ(Variant(19.9).ToNumber(), 19.9);
    EXPECT_EQ(Variant(42).ToNumber(), 42.0);
    EXPECT_EQ(Variant(true).ToNumber(), -1.0);
    EXPECT_EQ(Variant(false).ToNumber(), 0.0);
    EXPECT_EQ(Variant().ToNumber(), std::nullopt);
    EXPECT_EQ(Variant(Date{1899, 12, 30}).ToNumber(), 0.0);
    EXPECT_EQ(Variant(Date{1900, 1, 1}).ToNumber(), 2.0);
    EXPECT_EQ(Variant(Date{2025, 3, 1}).ToNumber(), 45717.0);
    EXPECT_EQ(Variant(Date{1800, 1, 1}).ToNumber(), -36522.0);
}

TEST(VariantToNumber, TextsWithDecimalCommaOrPoint) {
    EXPECT_EQ(Variant("19,9").ToNumber(), 19.9);
    EXPECT_EQ(Variant("19.9").ToNumber(), 19.9);
    EXPECT_EQ(Variant(" -7,5 ").ToNumber(), -7.5);
    EXPECT_EQ(Variant("1.234,5").ToNumber(), 1234.5);
    EXPECT_EQ(Variant("1.234.567,25").ToNumber(), 1234567.25);
    EXPECT_EQ(Variant("1,5E+20").ToNumber(), 1.5e20);
    EXPECT_EQ(Variant("1E-20").ToNumber(), 1e-20);
    EXPECT_EQ(Variant(",5").ToNumber(), 0.5);
    EXPECT_EQ(Variant("+3").ToNumber(), 3.0);
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
