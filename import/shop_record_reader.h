#pragma once

#include <cstddef>
#include <filesystem>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "import/field_reader.h"

namespace warenkai {

class LimitedErrorList;

// One data line of a shop export file.
struct ShopRecord {
    std::size_t line = 0;             // the line of the file (from 1) on which the record begins
    std::vector<std::string> fields;  // UTF-8, trimmed; exactly the expected number
};

// Groups the fields of a shop export file into records along its lines: a line end outside double
// quotes ends a record, so one broken line cannot shift the fields of the lines after it. The first
// record is the header and is passed over whatever it holds; blank lines are passed over.
// A record with another number of fields than expected, with a field that runs past the reader's
// limit or with a quote that is never closed is not handed out: it gets one line in the error list
// naming the file and its line number, and the reader goes on with the next line.
class ShopRecordReader {
public:
    // `fileName` is the name used in the error lines ("kundenstamm.csv").
    ShopRecordReader(std::istream& in, std::string fileName, std::size_t fieldCount, LimitedErrorList& errors);

    // The next record with exactly the expected number of fields, or std::nullopt at the end of the file.
    std::optional<ShopRecord> Next();

    // The records not handed out because of a fault (each has its error line).
    std::size_t RefusedRecords() const { return m_refused; }

private:
    void Report(const std::string& text);

    FieldReader m_reader;
    std::string m_fileName;
    std::size_t m_fieldCount;
    LimitedErrorList& m_errors;
    bool m_headerPassed = false;
    bool m_finished = false;
    bool m_readFailureReported = false;
    std::size_t m_refused = 0;
};

// The number of records a ShopRecordReader hands out for `file`, read once ahead so the progress bar
// can count them; 0 when the file cannot be opened.
std::size_t CountShopRecords(const std::filesystem::path& file, std::size_t fieldCount);

}  // namespace warenkai
