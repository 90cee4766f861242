#include "import/field_reader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace warenkai::test {
namespace {

// One field as "text|line|end" ("end" when it ended its line, "more" when a comma followed).
std::vector<std::string> ReadAll(const std::string& bytes,
                                 std::size_t maxFieldBytes = FieldReader::kDefaultMaxFieldBytes) {
    std::istringstream in(bytes);
    FieldReader reader(in, maxFieldBytes);
    std::vector<std::string> fields;
    while (const auto field = reader.Next()) {
        std::string entry = field->text + "|" + std::to_string(field->line) + "|" + (field->endsLine ? "end" : "more");
        if (field->unclosedQuote) {
            entry += "|unclosed";
        }
        if (field->truncated) {
            entry += "|truncated";
        }
        fields.push_back(entry);
        if (fields.size() > 1000) {
            ADD_FAILURE() << "the reader does not stop";
            break;
        }
    }
    return fields;
}

using Fields = std::vector<std::string>;

TEST(FieldReader, CommasSeparateAndTheLineEndEndsTheLastField) {
    EXPECT_EQ(ReadAll("a,b,c\r\n"), (Fields{"a|1|more", "b|1|more", "c|1|end"}));
}

TEST(FieldReader, SpacesBeforeAndAfterAFieldAreDropped) {
    EXPECT_EQ(ReadAll("  a  ,   b c ,\"  d  \"  \r\n"), (Fields{"a|1|more", "b c|1|more", "d|1|end"}));
}

TEST(FieldReader, OnlySpacesAreSkippedNotTabs) {
    EXPECT_EQ(ReadAll("\ta\t,b\n"), (Fields{"\ta\t|1|more", "b|1|end"}));
}

TEST(FieldReader, QuotedFieldHoldsCommasAndLineBreaks) {
    EXPECT_EQ(ReadAll("\"Müller, Hans\",\"Zeile 1\r\nZeile 2\",x\r\ny\r\n"),
              (Fields{"Müller, Hans|1|more", "Zeile 1\r\nZeile 2|1|more", "x|2|end", "y|3|end"}));
}

TEST(FieldReader, QuotedFieldHoldsLoneLineFeedAndCarriageReturn) {
    EXPECT_EQ(ReadAll("\"a\nb\rc\",d\n"), (Fields{"a\nb\rc|1|more", "d|3|end"}));
}

TEST(FieldReader, TextAfterTheClosingQuoteIsDroppedUpToTheDelimiter) {
    EXPECT_EQ(ReadAll("\"ab\"xy,c\r\n\"d\" zz\r\ne\r\n"), (Fields{"ab|1|more", "c|1|end", "d|2|end", "e|3|end"}));
}

TEST(FieldReader, DoubledQuoteIsNoEscape) {
    // The field ends at the second quote; "cd"" up to the comma is dropped.
    EXPECT_EQ(ReadAll("\"ab\"\"cd\",e\n"), (Fields{"ab|1|more", "e|1|end"}));
}

TEST(FieldReader, EmptyQuotedAndUnquotedFields) {
    EXPECT_EQ(ReadAll("\"\",,\"\"\r\n"), (Fields{"|1|more", "|1|more", "|1|end"}));
}

TEST(FieldReader, CrLfLoneLfAndLoneCrAreOneLineEndEach) {
    EXPECT_EQ(ReadAll("a\r\nb\nc\rd\r\n"), (Fields{"a|1|end", "b|2|end", "c|3|end", "d|4|end"}));
}

TEST(FieldReader, LfCrIsTwoLineEnds) {
    EXPECT_EQ(ReadAll("a\n\rb\n"), (Fields{"a|1|end", "|2|end", "b|3|end"}));
}

TEST(FieldReader, BlankLineGivesOneEmptyField) {
    EXPECT_EQ(ReadAll("a\r\n\r\n   \r\nb\r\n"), (Fields{"a|1|end", "|2|end", "|3|end", "b|4|end"}));
}

TEST(FieldReader, FileWithoutFinalLineEnd) {
    EXPECT_EQ(ReadAll("a,b\r\nc,d"), (Fields{"a|1|more", "b|1|end", "c|2|more", "d|2|end"}));
    EXPECT_EQ(ReadAll("a,\"b\""), (Fields{"a|1|more", "b|1|end"}));
    EXPECT_EQ(ReadAll("a,\"b\"  "), (Fields{"a|1|more", "b|1|end"}));
}

TEST(FieldReader, EndOfFileAfterALineEndGivesNoFurtherField) {
    EXPECT_EQ(ReadAll("a\r\n"), (Fields{"a|1|end"}));
    EXPECT_EQ(ReadAll("a\r\n   "), (Fields{"a|1|end"}));
    EXPECT_EQ(ReadAll(""), Fields{});
    EXPECT_EQ(ReadAll("   "), Fields{});
}

TEST(FieldReader, EndOfFileAfterACommaGivesOneLastEmptyField) {
    EXPECT_EQ(ReadAll("a,"), (Fields{"a|1|more", "|1|end"}));
    EXPECT_EQ(ReadAll("a,  "), (Fields{"a|1|more", "|1|end"}));
}

TEST(FieldReader, QuoteThatIsNeverClosedRunsToTheEndOfTheFile) {
    EXPECT_EQ(ReadAll("a,\"bc\r\nd,e\r\n"), (Fields{"a|1|more", "bc\r\nd,e\r\n|1|end|unclosed"}));
}

TEST(FieldReader, QuoteInsideAnUnquotedFieldIsPartOfIt) {
    EXPECT_EQ(ReadAll("ab\"c,d\n"), (Fields{"ab\"c|1|more", "d|1|end"}));
}

TEST(FieldReader, BytesPassUnchanged) {
    const std::string bytes = std::string("M\xFCller\x80", 7) + std::string(1, '\0') + "x";
    EXPECT_EQ(ReadAll(bytes + ",y\r\n"), (Fields{bytes + "|1|more", "y|1|end"}));
}

TEST(FieldReader, FieldLongerThanTheLimitIsCutAndMarked) {
    EXPECT_EQ(ReadAll("abcdefg,h\r\n\"ijklmn\",o\r\n", 4),
              (Fields{"abcd|1|more|truncated", "h|1|end", "ijkl|2|more|truncated", "o|2|end"}));
}

TEST(FieldReader, FieldsAcrossTheReadBufferStayWhole) {
    const std::string longText(200'000, 'x');
    EXPECT_EQ(ReadAll(longText + ",\"" + longText + "\"\r\nz"),
              (Fields{longText + "|1|more", longText + "|1|end", "z|2|end"}));
}

TEST(FieldReader, CrLfSplitAcrossTheReadBufferIsOneLineEnd) {
    const std::string first(64 * 1024 - 1, 'a');  // the CR is the last byte of the first buffer
    const auto fields = ReadAll(first + "\r\nb\r\n");
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(fields[1], "b|2|end");
}

}  // namespace
}  // namespace warenkai::test
