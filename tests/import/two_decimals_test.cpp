#include "import/two_decimals.h"

#include <gtest/gtest.h>

namespace warenkai::test {
namespace {

std::string Format(const std::string& value) {
    return FormatTwoDecimals(value).value_or("<keine Zahl>");
}

TEST(TwoDecimals, ShopAmountsGetTwoDecimalsAndADecimalComma) {
    EXPECT_EQ(Format("19"), "19,00");
    EXPECT_EQ(Format("19.9"), "19,90");
    EXPECT_EQ(Format("7.5"), "7,50");
    EXPECT_EQ(Format("9.95"), "9,95");
    EXPECT_EQ(Format("7,5"), "7,50");
    EXPECT_EQ(Format("0"), "0,00");
    EXPECT_EQ(Format(".5"), "0,50");
    EXPECT_EQ(Format("5."), "5,00");
    EXPECT_EQ(Format("007.10"), "7,10");
    EXPECT_EQ(Format("+3"), "3,00");
    EXPECT_EQ(Format("1234567.891"), "1234567,89");
}

TEST(TwoDecimals, HalvesRoundAwayFromZeroOnTheWrittenDigits) {
    EXPECT_EQ(Format("0.126"), "0,13");
    EXPECT_EQ(Format("0.125"), "0,13");
    EXPECT_EQ(Format("0.1249999"), "0,12");
    EXPECT_EQ(Format("1.005"), "1,01");
    EXPECT_EQ(Format("2.675"), "2,68");
    EXPECT_EQ(Format("9.995"), "10,00");
    EXPECT_EQ(Format("99.999"), "100,00");
    EXPECT_EQ(Format("-0.125"), "-0,13");
    EXPECT_EQ(Format("-1.004"), "-1,00");
    EXPECT_EQ(Format("-0.001"), "0,00");
}

TEST(TwoDecimals, WhatIsNoPlainDecimalNumberIsRefused) {
    for (const std::string value : {"", "abc", "1.234,56", "1,2,3", "1e3", "12 Stück", "-", "+", ".", "0x10", " 1"}) {
        EXPECT_FALSE(FormatTwoDecimals(value)) << value;
    }
}

TEST(TwoDecimals, ValueOfTheText) {
    EXPECT_EQ(TwoDecimalsValue("7,50"), 7.5);
    EXPECT_EQ(TwoDecimalsValue("0,13"), 0.13);
    EXPECT_EQ(TwoDecimalsValue("-2,00"), -2.0);
    EXPECT_FALSE(TwoDecimalsValue(std::string(400, '9') + ",00"));
}

}  // namespace
}  // namespace warenkai::test
