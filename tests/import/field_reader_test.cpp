#include "import/field_reader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
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

// Every rule of the reader as {file bytes, fields read}.
TEST(FieldReader, ReadsEveryRuleByteForByte) {
    const std::string odd = std::string("M\xFCller\x80", 7) + std::string(1, '\0') + "x";
    const std::vector<std::pair<std::string, Fields>> cases = {
        {"a,b,c\r\n", {"a|1|more", "b|1|more", "c|1|end"}},
        // blanks around a field are dropped, tabs are not
        {"  a  ,   b c ,\"  d  \"  \r\n", {"a|1|more", "b c|1|more", "d|1|end"}},
        {"\ta\t,b\n", {"\ta\t|1|more", "b|1|end"}},
        // quoted fields hold commas and line breaks
        {"\"Müller, Hans\",\"Zeile 1\r\nZeile 2\",x\r\ny\r\n",
         {"Müller, Hans|1|more", "Zeile 1\r\nZeile 2|1|more", "x|2|end", "y|3|end"}},
        {"\"a\nb\rc\",d\n", {"a\nb\rc|1|more", "d|3|end"}},
        // text after the closing quote is dropped up to the delimiter; a doubled quote is no escape
        {"\"ab\"xy,c\r\n\"d\" zz\r\ne\r\n", {"ab|1|more", "c|1|end", "d|2|end", "e|3|end"}},
        {"\"ab\"\"cd\",e\n", {"ab|1|more", "e|1|end"}},
        {"\"\",,\"\"\r\n", {"|1|more", "|1|more", "|1|end"}},
        // CR LF, lone LF and lone CR end a line each; LF CR is two line ends
        {"a\r\nb\nc\rd\r\n", {"a|1|end", "b|2|end", "c|3|end", "d|4|end"}},
        {"a\n\rb\n", {"a|1|end", "|2|end", "b|3|end"}},
        {"a\r\n\r\n   \r\nb\r\n", {"a|1|end", "|2|end", "|3|end", "b|4|end"}},
        // no final line end
        {"a,b\r\nc,d", {"a|1|more", "b|1|end", "c|2|more", "d|2|end"}},
        {"a,\"b\"", {"a|1|more", "b|1|end"}},
        {"a,\"b\"  ", {"a|1|more", "b|1|end"}},
        {"a\r\n", {"a|1|end"}},
        {"a\r\n   ", {"a|1|end"}},
        {"", {}},
        {"   ", {}},
        {"a,", {"a|1|more", "|1|end"}},
        {"a,  ", {"a|1|more", "|1|end"}},
        {"a,\"bc\r\nd,e\r\n", {"a|1|more", "bc\r\nd,e\r\n|1|end|unclosed"}},
        {"ab\"c,d\n", {"ab\"c|1|more", "d|1|end"}},
        {odd + ",y\r\n", {odd + "|1|more", "y|1|end"}},
    };
    for (const auto& [bytes, expected] : cases) {
        EXPECT_EQ(ReadAll(bytes), expected) << bytes;
    }
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
