#include "export/clean_value.h"

#include <gtest/gtest.h>

namespace warenkai {
namespace {

TEST(CleanValueTest, TrimsBlanksOnly) {
    EXPECT_EQ(CleanValue("  Schraube M6  "), "Schraube M6");
    EXPECT_EQ(CleanValue("\tTab\t"), "\tTab\t");
    EXPECT_EQ(CleanValue("   "), "");
    EXPECT_EQ(CleanValue(""), "");
}

TEST(CleanValueTest, QuotesAndApostrophesBecomeAcuteAccents) {
    EXPECT_EQ(CleanValue("19\" Rack"), "19\xC2\xB4 Rack");
    EXPECT_EQ(CleanValue("O'Brien's"), "O\xC2\xB4" "Brien\xC2\xB4s");
    EXPECT_EQ(CleanValue("\"'\""), "\xC2\xB4\xC2\xB4\xC2\xB4");
}

TEST(CleanValueTest, LineBreaks) {
    EXPECT_EQ(CleanValue("Zeile 1\r\nZeile 2"), "Zeile 1 Zeile 2");
    EXPECT_EQ(CleanValue("a\nb"), "ab");
    EXPECT_EQ(CleanValue("a\rb"), "a b");
    // Trimming comes first: a value that ended with a line break ends with a blank.
    EXPECT_EQ(CleanValue("  Ende\r\n"), "Ende ");
}

TEST(CleanValueTest, CommasAndUmlautsStay) {
    EXPECT_EQ(CleanValue("Müller, Söhne & Co"), "Müller, Söhne & Co");
}

TEST(CleanValueTest, AppendsToALine) {
    std::string line = "\"a\",\"";
    AppendCleanValue(line, " b'c ");
    EXPECT_EQ(line, "\"a\",\"b\xC2\xB4" "c");
}

TEST(CleanGroupValueTest, ReplacesQuotesThenTrimsAndKeepsLineBreaks) {
    EXPECT_EQ(CleanGroupValue("  19\" Schränke "), "19\xC2\xB4 Schränke");
    EXPECT_EQ(CleanGroupValue("Bob's"), "Bob\xC2\xB4s");
    EXPECT_EQ(CleanGroupValue("a\r\nb\n"), "a\r\nb\n");
    EXPECT_EQ(CleanGroupValue("   "), "");
}

}  // namespace
}  // namespace warenkai
