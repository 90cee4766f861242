#include "import/order_record.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace warenkai::test {
namespace {

namespace fs = std::filesystem;

const std::string kTime = "2024-05-03 14:22:06";
const std::string kHeader = std::string(kOrderRecordHeader) + "\r\n";

bool operator==(const OrderRecordLine& a, const OrderRecordLine& b) {
    return a.mark == b.mark && a.time == b.time && a.positions == b.positions && a.identity == b.identity;
}

// Identities the shop may send: commas, quotes, line breaks, the file's own separator and escape
// character, letters beyond ASCII, nothing at all.
TEST(OrderRecordLine, EveryIdentityComesBackAsItWasOnOneLine) {
    const std::vector<OrderIdentity> identities = {
        {"5001", "a", "20001"}, {"1,2", "\"x\"", "K \"1\", 2"}, {"a\r\nb", "c\nd", "e\rf\t"},
        {"50%;1", ";", "%25"},  {"Müller", "Straße", "€ 5"},    {"", "", ""},
    };
    for (const auto& identity : identities) {
        const OrderRecordLine line{OrderMark::Entered, kTime, 3, identity};
        const std::string text = FormatOrderRecordLine(line);
        EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
        const auto parsed = ParseOrderRecordLine(text);
        ASSERT_TRUE(parsed) << text;
        EXPECT_TRUE(*parsed == line) << text;
    }
    EXPECT_EQ(FormatOrderRecordLine({OrderMark::Entered, kTime, 3, {"5001", "a", "20001"}}),
              "eingetragen;2024-05-03 14:22:06;3;5001;a;20001");
    EXPECT_EQ(FormatOrderRecordLine({OrderMark::Failed, kTime, 12, {"1;2%", "a\r\nb,\"c\"", "Müller"}}),
              "fehlgeschlagen;2024-05-03 14:22:06;12;1%3B2%25;a%0D%0Ab,\"c\";M\xFCller");
}

TEST(OrderRecordLine, WhatIsNoMark) {
    for (const std::string line :
         {"", "eingetragen;t;3;a;b", "eingetragen;t;3;a;b;c;d", "erledigt;t;3;a;b;c", "Eingetragen;t;3;a;b;c",
          "eingetragen;t;;a;b;c", "eingetragen;t;3x;a;b;c", "eingetragen;t;-3;a;b;c", "eingetragen;t;1234567890;a;b;c",
          "eingetragen;t;3;a%2;b;c", "eingetragen;t;3;a%ZZ;b;c", "begonnen;t;3;a\tb;c;d\x01"}) {
        EXPECT_FALSE(ParseOrderRecordLine(line)) << line;
    }
}

class OrderRecordTest : public ::testing::Test {
protected:
    TempFolder folder;
    fs::path file = folder / kOrderRecordFileName;

    OrderRecord Open() const {
        return OrderRecord(file, [] { return kTime; });
    }
    static std::string Line(const std::string& mark, const std::string& positions, const std::string& order) {
        return mark + ";" + kTime + ";" + positions + ";" + order + ";a;100\r\n";
    }
};

TEST_F(OrderRecordTest, ItIsCreatedWithItsHeaderAndEveryMarkIsAppendedAtOnce) {
    {
        OrderRecord record = Open();
        EXPECT_EQ(folder.Read(kOrderRecordFileName), kHeader);
        EXPECT_TRUE(record.Mark(OrderMark::Begun, {"1", "a", "100"}, 2));
        EXPECT_EQ(folder.Read(kOrderRecordFileName), kHeader + Line("begonnen", "2", "1"));
        EXPECT_TRUE(record.Mark(OrderMark::Entered, {"1", "a", "100"}, 2));
        EXPECT_TRUE(record.Mark(OrderMark::Begun, {"2", "a", "100"}, 1));
        EXPECT_TRUE(record.Mark(OrderMark::Begun, {"3", "a", "100"}, 4));
        EXPECT_TRUE(record.Mark(OrderMark::Failed, {"3", "a", "100"}, 4));
    }
    EXPECT_EQ(folder.Read(kOrderRecordFileName), kHeader + Line("begonnen", "2", "1") + Line("eingetragen", "2", "1") +
                                                     Line("begonnen", "1", "2") + Line("begonnen", "4", "3") +
                                                     Line("fehlgeschlagen", "4", "3"));
    const OrderRecord again = Open();
    const auto entered = again.Find({"1", "a", "100"});
    ASSERT_TRUE(entered);
    EXPECT_EQ(entered->mark, OrderMark::Entered);
    EXPECT_EQ(entered->positions, 2u);
    const auto begun = again.Find({"2", "a", "100"});
    ASSERT_TRUE(begun);
    EXPECT_EQ(begun->mark, OrderMark::Begun);
    EXPECT_FALSE(again.Find({"3", "a", "100"}));  // failed: not recorded
    EXPECT_FALSE(again.Find({"1", "a", "10"}));
}

// Orders must not be entered when the record cannot say which are in Selectline already, or cannot
// take down the new ones: the file is left as it was.
TEST_F(OrderRecordTest, AFileThatCannotBeTrustedOrWrittenIsRefused) {
    const std::string entered = Line("eingetragen", "1", "1");
    struct Case {
        std::string problem;
        std::function<void()> make;
    };
    const std::vector<Case> cases = {
        {"ist leer", [&] { folder.Write(kOrderRecordFileName, ""); }},
        {"ist keine Liste eingetragener Bestellungen (ihre erste Zeile ist nicht \"" + std::string(kOrderRecordHeader) +
             "\")",
         [&] { folder.Write(kOrderRecordFileName, std::string("PK\x03\x04\0\0", 6) + entered); }},
        {"ist beschädigt: Zeile 3 ist keine Eintragung",
         [&] { folder.Write(kOrderRecordFileName, kHeader + entered + "eingetragen;1;2\r\n" + entered); }},
        {"ist schreibgeschützt",
         [&] {
             folder.Write(kOrderRecordFileName, kHeader + entered);
             fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
         }},
        {"ist größer als 64 MB",
         [&] {
             folder.Write(kOrderRecordFileName, kHeader + entered);
             fs::resize_file(file, kOrderRecordMaxBytes + 1);
         }},
        {"ist keine Datei", [&] { fs::create_directory(file); }},
    };
    for (const auto& [problem, make] : cases) {
        make();
        const auto size = fs::is_regular_file(file) ? fs::file_size(file) : 0;
        try {
            Open();
            ADD_FAILURE() << "opened: " << problem;
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(error.what(), OrderRecordProblemText(file, problem));
        }
        EXPECT_EQ(fs::is_regular_file(file) ? fs::file_size(file) : 0, size) << problem;
        fs::permissions(file, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(file);
    }
}

// A run that died while writing a mark leaves a last line without line end: the rest of a mark is
// cut off, a whole mark is completed; the marks before it count and the next mark follows on a line
// of its own.
TEST_F(OrderRecordTest, ATornLastLineIsCutOffOrCompleted) {
    const std::string first = Line("eingetragen", "1", "1");
    const std::string second = Line("eingetragen", "2", "2");
    const std::string third = Line("begonnen", "1", "3");
    struct Case {
        std::string tail;
        std::string kept;
        bool secondKnown;
    };
    const std::vector<Case> cases = {
        {"eingetragen;2024-05-03 14:2", "", false},
        {std::string(4, '\0'), "", false},
        {second.substr(0, second.size() - 2), second, true},
        {second.substr(0, second.size() - 1), second, true},
    };
    for (const auto& [tail, kept, secondKnown] : cases) {
        folder.Write(kOrderRecordFileName, kHeader + first + tail);
        {
            OrderRecord record = Open();
            EXPECT_TRUE(record.Find({"1", "a", "100"}));
            EXPECT_EQ(record.Find({"2", "a", "100"}).has_value(), secondKnown);
            EXPECT_TRUE(record.Mark(OrderMark::Begun, {"3", "a", "100"}, 1));
        }
        EXPECT_EQ(folder.Read(kOrderRecordFileName), kHeader + first + kept + third) << tail;
    }
}

}  // namespace
}  // namespace warenkai::test
