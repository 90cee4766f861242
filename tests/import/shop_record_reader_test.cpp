#include "import/shop_record_reader.h"

#include "common/limited_error_list.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/fake_ui.h"
#include "tests/support/journal.h"

namespace warenkai::test {
namespace {

struct Read {
    std::vector<std::string> records;  // "line: f1|f2|f3"
    std::vector<std::string> journal;
};

Read ReadRecords(const std::string& bytes, std::size_t fieldCount = 3,
                 std::size_t errorLimit = LimitedErrorList::kDefaultLimit) {
    Journal journal;
    RecordingStatusArea status(journal);
    LimitedErrorList errors(status, "test.csv", errorLimit);
    std::istringstream in(bytes);
    ShopRecordReader reader(in, "test.csv", fieldCount, errors);
    Read read;
    while (const auto record = reader.Next()) {
        std::string text = std::to_string(record->line) + ":";
        for (std::size_t i = 0; i < record->fields.size(); ++i) {
            text += (i == 0 ? " " : "|") + record->fields[i];
        }
        read.records.push_back(text);
    }
    EXPECT_FALSE(reader.Next());
    errors.Finish();
    read.journal = journal.Entries();
    return read;
}

using Lines = std::vector<std::string>;

// {file, records read, journal}: the header is passed over whatever its count, a line with another
// count is reported and the next lines stay intact, line numbers follow the file across quoted line
// breaks, blank lines are passed over silently, fields come from Windows-1252 as UTF-8, an unclosed
// quote ends the file.
TEST(ShopRecordReader, ReadsRecordsAndReportsBrokenLines) {
    const std::string unclosed = "Anführungszeichen nicht geschlossen, der Rest der Datei wurde nicht gelesen";
    const std::vector<std::tuple<std::string, Lines, Lines>> cases = {
        {"h1,h2\r\na,b,c\r\nd,e,f\r\n", {"2: a|b|c", "3: d|e|f"}, {}},
        {"\"h1\",\"h2\",\"h3\"\r\n", {}, {}},
        {"h\r\na,b,c\r\nshort,line\r\nd,e,f\r\ng,h,i,j\r\nk,l,m\r\n",
         {"2: a|b|c", "4: d|e|f", "6: k|l|m"},
         {"error: Fehler: test.csv Zeile 3: 2 statt 3 Felder", "error: Fehler: test.csv Zeile 5: 4 statt 3 Felder"}},
        {"h\r\n\"a\r\nA\",b,\"c\r\n\r\nC\"\r\nd,e\r\n", {"2: a\r\nA|b|c\r\n\r\nC"},
         {"error: Fehler: test.csv Zeile 6: 2 statt 3 Felder"}},
        {"\r\nh\r\n\r\n  \r\na,b,c\r\n\n\"\"\r\nd,e,f", {"5: a|b|c", "8: d|e|f"}, {}},
        {"h\r\n\"M\xFCller\",Stra\xDF" "e,\x80\r\n", {"2: Müller|Straße|€"}, {}},
        {"h\r\na,b,c\r\nd,\"e,f\r\ng,h,i\r\n", {"2: a|b|c"}, {"error: Fehler: test.csv Zeile 3: " + unclosed}},
        {"\"h\r\na,b,c\r\n", {}, {"error: Fehler: test.csv Zeile 1: " + unclosed}},
    };
    for (const auto& [bytes, records, journal] : cases) {
        const auto read = ReadRecords(bytes);
        EXPECT_EQ(read.records, records) << bytes;
        EXPECT_EQ(read.journal, journal) << bytes;
    }
}

TEST(ShopRecordReader, LineWithVeryManyFieldsIsCountedNotKept) {
    std::string line(100'000, ',');
    const auto read = ReadRecords("h\r\n" + line + "\r\na,b,c\r\n");
    EXPECT_EQ(read.records, (Lines{"3: a|b|c"}));
    EXPECT_EQ(read.journal, (Lines{"error: Fehler: test.csv Zeile 2: 100001 statt 3 Felder"}));
}

TEST(ShopRecordReader, OverlongFieldIsReported) {
    const std::string huge(FieldReader::kDefaultMaxFieldBytes + 10, 'x');
    const auto read = ReadRecords("h\r\na," + huge + ",c\r\nd,e,f\r\n");
    EXPECT_EQ(read.records, (Lines{"3: d|e|f"}));
    EXPECT_EQ(read.journal, (Lines{"error: Fehler: test.csv Zeile 2: Feld 2 ist zu lang"}));
}

TEST(ShopRecordReader, ErrorLinesStopAtTheLimitAndTheRestIsCounted) {
    std::string file = "h\r\n";
    for (int i = 0; i < 5; ++i) {
        file += "kurz\r\n";
    }
    const auto read = ReadRecords(file + "a,b,c\r\n", 3, 2);
    EXPECT_EQ(read.records, (Lines{"7: a|b|c"}));
    EXPECT_EQ(read.journal, (Lines{"error: Fehler: test.csv Zeile 2: 1 statt 3 Felder",
                                   "error: Fehler: test.csv Zeile 3: 1 statt 3 Felder",
                                   "error: Fehler: test.csv: 3 weitere Fehler nicht einzeln aufgeführt"}));
}

}  // namespace
}  // namespace warenkai::test
