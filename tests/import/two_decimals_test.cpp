#include "import/two_decimals.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace warenkai::test {
namespace {

// Shop amounts get two decimals and a decimal comma; halves round away from zero on the written digits.
TEST(TwoDecimals, ShopAmounts) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"19", "19,00"},     {"19.9", "19,90"},    {"7.5", "7,50"},           {"9.95", "9,95"},
        {"7,5", "7,50"},     {"0", "0,00"},        {".5", "0,50"},            {"5.", "5,00"},
        {"007.10", "7,10"},  {"+3", "3,00"},       {"1234567.891", "1234567,89"},
        {"0.126", "0,13"},   {"0.125", "0,13"},    {"0.1249999", "0,12"},     {"1.005", "1,01"},
        {"2.675", "2,68"},   {"9.995", "10,00"},   {"99.999", "100,00"},      {"-0.125", "-0,13"},
        {"-1.004", "-1,00"}, {"-0.001", "0,00"}};
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(FormatTwoDecimals(value), expected) << value;
    }
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
