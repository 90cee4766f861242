// The shop's export files as the import reads them, its amounts, and the record of the orders entered.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>

#include "common/limited_error_list.h"
#include "import/order_record.h"
#include "import/shop_record_reader.h"
#include "import/two_decimals.h"
#include "tests/import/import_test_files.h"
#include "tests/support/fake_ui.h"
#include "tests/support/temp_folder.h"

namespace warenkai::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// Records of three fields, read field by field (tests/data/import/cases/shop_records.txt), fields
// across the read buffer, a CR LF split by it, a line of very many fields and one with an overlong
// field: the records handed out, then the error lines.
TEST(ShopRecordReader, ReadsRecordsAndReportsBrokenLines) {
    auto cases = Cases("shop_records.txt");
    const std::string longText(200'000, 'x');
    const std::string beforeCr(64 * 1024 - 1 - 7, 'a');  // the CR of its line the last byte of the first buffer
    cases.push_back({"h\r\n" + longText + ",\"" + longText + "\",z", {"2: " + longText + "|" + longText + "|z"}});
    cases.push_back({"h\r\n" + beforeCr + ",b,c\r\nd,e,f\r\n", {"2: " + beforeCr + "|b|c", "3: d|e|f"}});
    cases.push_back({"h\r\n" + std::string(100'000, ',') + "\r\na,b,c\r\n",
                     {"3: a|b|c", "error: Fehler: test.csv Zeile 2: 100001 statt 3 Felder"}});
    cases.push_back({"h\r\na," + std::string(FieldReader::kDefaultMaxFieldBytes + 10, 'x') + ",c\r\nd,e,f\r\n",
                     {"3: d|e|f", "error: Fehler: test.csv Zeile 2: Feld 2 ist zu lang"}});
    for (const auto& [bytes, expected] : cases) {
        Journal journal;
        RecordingStatusArea status(journal);
        LimitedErrorList errors(status, "test.csv");
        std::istringstream in(bytes);
        ShopRecordReader reader(in, "test.csv", 3, errors);
        Lines read;
        while (const auto record = reader.Next()) {
            read.push_back(std::to_string(record->line) + ": " + record->fields[0] + "|" + record->fields[1] + "|" +
                           record->fields[2]);
        }
        EXPECT_FALSE(reader.Next());
        EXPECT_EQ(reader.RefusedRecords(), journal.Entries().size());
        read.insert(read.end(), journal.Entries().begin(), journal.Entries().end());
        EXPECT_EQ(read, expected) << bytes.substr(0, 40);
    }
}

// Two decimals and a decimal comma, halves rounded away from zero on the written digits; what is no
// plain decimal number is refused (tests/data/import/cases/two_decimals.txt).
TEST(TwoDecimals, ShopAmounts) {
    for (const auto& [value, expected] : Cases("two_decimals.txt")) {
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
    const std::vector<OrderIdentity> identities = {{"1,2", "\"x\"", "K \"1\", 2"},
                                                   {"a\r\nb", "c\nd", "e\rf\t"},
                                                   {"50%;1", ";", "%25"},
                                                   {"Müller", "Straße", "€ 5"},
                                                   {"", "", ""}};
    {
        OrderRecord record(folder / kOrderRecordFileName, [] { return "t"; });
        for (const auto& identity : identities) {
            EXPECT_TRUE(record.Mark(OrderMark::Entered, identity, 3));
        }
    }
    const OrderRecord again(folder / kOrderRecordFileName);
    for (const auto& identity : identities) {
        EXPECT_TRUE(again.Find(identity)) << identity[0];
    }
    EXPECT_EQ(folder.Read(kOrderRecordFileName), ExpectedFile("order_identities.txt"));
}

// tests/data/import/cases/order_record.txt: marks of every kind, records that cannot be trusted and
// torn last lines.
TEST(OrderRecord, OpensWhatItCanTrustAndMendsATornLastLine) {
    for (const auto& [bytes, expected] : Cases("order_record.txt")) {
        TempFolder folder;
        const auto file = folder.Write(kOrderRecordFileName, bytes);
        Lines seen;
        try {
            OrderRecord record(file, [] { return "t"; });
            std::string known;
            for (const std::string order : {"1", "2", "3"}) {
                const auto mark = record.Find({order, "a", "100"});
                known += (order == "1" ? "" : "|") + order +
                         (!mark                            ? " unbekannt"
                          : mark->mark == OrderMark::Begun ? " begonnen"
                                                           : " eingetragen");
            }
            seen.push_back(known);
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
    const std::vector<std::pair<std::string, std::function<void(const fs::path&)>>> cases = {
        {"ist schreibgeschützt", [](const fs::path& file) { fs::permissions(file, fs::perms::owner_read); }},
        {"ist größer als 64 MB", [](const fs::path& file) { fs::resize_file(file, kOrderRecordMaxBytes + 1); }},
        {"ist keine Datei", [](const fs::path& file) { fs::remove(file), fs::create_directory(file); }},
    };
    for (const auto& [problem, spoil] : cases) {
        TempFolder folder;
        const auto file = folder.Write(kOrderRecordFileName, std::string(kOrderRecordHeader) + "\r\n");
        spoil(file);
        const auto size = fs::is_regular_file(file) ? fs::file_size(file) : 0;
        try {
            OrderRecord record(file);
            ADD_FAILURE() << problem;
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(error.what(), OrderRecordProblemText(file, problem));
        }
        EXPECT_EQ(fs::is_regular_file(file) ? fs::file_size(file) : 0, size) << problem;
    }
}

}  // namespace
}  // namespace warenkai::test
