#include "export/clean_value.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace warenkai {
namespace {

// Blanks (not tabs) are trimmed first; quotes and apostrophes become acute accents; CR LF and a lone CR
// become a blank, a lone LF goes; commas and umlauts stay.
TEST(CleanValueTest, CleansValuesForTheArticleFile) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"  Schraube M6  ", "Schraube M6"}, {"\tTab\t", "\tTab\t"}, {"   ", ""}, {"", ""},
        {"19\" Rack", "19\xC2\xB4 Rack"}, {"O'Brien's", "O\xC2\xB4" "Brien\xC2\xB4s"},
        {"\"'\"", "\xC2\xB4\xC2\xB4\xC2\xB4"}, {"Zeile 1\r\nZeile 2", "Zeile 1 Zeile 2"}, {"a\nb", "ab"},
        {"a\rb", "a b"}, {"  Ende\r\n", "Ende "}, {"Müller, Söhne & Co", "Müller, Söhne & Co"}};
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(CleanValue(value), expected) << value;
    }
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
