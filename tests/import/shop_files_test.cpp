// The shop's export files as the import reads them, its amounts, and the record of the orders entered.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "common/limited_error_list.h"
#include "import/order_record.h"
#include "import/shop_record_reader.h"
#include "import/two_decimals.h"
#include "tests/support/fake_transfer_world.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_data.h"

namespace warenkai::test {
namespace {

namespace fs = std::filesystem;
// tests/data/import/cases/shop_records.txt: records of three fields read field by field, fields
// across the read buffer, broken lines: the records handed out, then the error lines.
TEST(ShopRecordReader, ReadsRecordsAndReportsBrokenLines) {
    for (const auto& [bytes, expected] : Cases("import/cases/shop_records.txt")) {
        WindowFakes window;
        LimitedErrorList errors(window.status, "test.csv");
        std::istringstream in(bytes);
        ShopRecordReader reader(in, "test.csv", 3, errors);
        Lines read;
        while (const auto record = reader.Next()) {
            const auto& fields = record->fields;
            read.push_back(std::to_string(record->line) + ": " + fields[0] + "|" + fields[1] + "|" + fields[2]);
        }
        EXPECT_FALSE(reader.Next());
        EXPECT_EQ(reader.RefusedRecords(), window.journal.Entries().size());
        read.insert(read.end(), window.journal.Entries().begin(), window.journal.Entries().end());
        EXPECT_EQ(read, expected) << bytes.substr(0, 40);
    }
}

// Two decimals and a decimal comma, halves rounded away from zero on the written digits; what is no
// plain decimal number is refused (tests/data/import/cases/two_decimals.txt).
TEST(TwoDecimals, ShopAmounts) {
    for (const auto& [value, expected] : Cases("import/cases/two_decimals.txt")) {
        EXPECT_EQ(FormatTwoDecimals(value).value_or("-"), expected.at(0)) << value;
    }
    EXPECT_EQ(TwoDecimalsValue("-0,13"), -0.13);
    EXPECT_FALSE(TwoDecimalsValue(std::string(400, '9') + ",00"));
}

// Identities the shop may send (commas, quotes, line breaks, the file's own separator and escape
// character, letters beyond ASCII, nothing at all) are written a mark a line
// (tests/data/import/order_identities.txt) and come back as they were.
TEST(OrderRecord, EveryIdentityComesBackAsItWas) {
    TempFolder folder;
    // clang-format off
    const std::vector<OrderIdentity> identities = {{"1,2", "\"x\"", "K \"1\", 2"}, {"a\r\nb", "c\nd", "e\rf\t"},
                                                   {"50%;1", ";", "%25"}, {"Müller", "Straße", "€ 5"}, {}};
    // clang-format on
    for (const auto& identity : identities) {  // each mark by a record opened anew, which reads those before
        EXPECT_TRUE(
            OrderRecord(folder / kOrderRecordFileName, [] { return "t"; }).Mark(OrderMark::Entered, identity, 3));
    }
    const OrderRecord again(folder / kOrderRecordFileName);
    for (const auto& identity : identities) {
        EXPECT_TRUE(again.Find(identity)) << identity[0];
    }
    EXPECT_EQ(folder.Read(kOrderRecordFileName), TestData("import/order_identities.txt"));
}

const char* const kMarkNames[] = {"begonnen", "eingetragen"};

// tests/data/import/cases/order_record.txt: marks of every kind, records that cannot be trusted and
// torn last lines.
TEST(OrderRecord, OpensWhatItCanTrustAndMendsATornLastLine) {
    for (const auto& [bytes, expected] : Cases("import/cases/order_record.txt")) {
        TempFolder folder;
        const auto file = folder.Write(kOrderRecordFileName, bytes);
        Lines seen;
        try {
            OrderRecord record(file, [] { return "t"; });
            std::string known;
            for (const std::string order : {"1", "2", "3"}) {
                const auto mark = record.Find({order, "a", "100"});
                known += "|" + order + " " + (!mark ? "unbekannt" : kMarkNames[static_cast<int>(mark->mark)]);
            }
            seen.push_back(known.substr(1));
            EXPECT_TRUE(record.Mark(OrderMark::Begun, {"3", "a", "100"}, 1));
        } catch (const std::runtime_error& error) {
            std::string text = error.what();
            seen.push_back(text.replace(text.find(file.string()), file.string().size(), "<Datei>"));
        }
        seen.push_back(folder.Read(kOrderRecordFileName));
        EXPECT_EQ(seen, expected);
    }
}

// A record that cannot be written or read whole is refused and left as it is.
TEST(OrderRecord, ARecordThatCannotBeWrittenOrReadIsRefused) {
    const std::pair<std::string, void (*)(const fs::path&)> cases[] = {
        {"ist schreibgeschützt", [](const fs::path& file) { fs::permissions(file, fs::perms::owner_read); }},
        {"ist größer als 64 MB", [](const fs::path& file) { fs::resize_file(file, kOrderRecordMaxBytes + 1); }},
        {"ist keine Datei", [](const fs::path& file) { fs::remove(file), fs::create_directory(file); }}};
    for (const auto& [problem, spoil] : cases) {
        TempFolder folder;
        const auto file = folder.Write(kOrderRecordFileName, std::string(kOrderRecordHeader) + "\r\n");
        spoil(file);
        const auto size = fs::is_regular_file(file) ? fs::file_size(file) : 0;
        EXPECT_THAT([&] { OrderRecord record(file); },
                    ::testing::ThrowsMessage<std::runtime_error>(OrderRecordProblemText(file, problem)));
        EXPECT_EQ(fs::is_regular_file(file) ? fs::file_size(file) : 0, size) << problem;
    }
}

}  // namespace
}  // namespace warenkai::test
