#pragma once

#include <string>
#include <vector>

namespace warenkai {

// One row of the article field mapping: which Selectline field fills a shop column, the default
// value used when that field gives nothing, and a text put in front of the field's value.
struct MappingRow {
    std::string shopColumn;       // grid column 0, built in
    std::string selectlineField;  // grid column 1
    std::string defaultValue;     // grid column 2
    std::string prefix;           // grid column 3

    bool operator==(const MappingRow&) const = default;
};

// The rows in grid order; mapping row r (1-based, as in the grid and the settings file) is element
// r - 1. The row order is the column order of the article file, and row 1 is the key row.
using FieldMapping = std::vector<MappingRow>;

inline constexpr int kMappingRowCount = 30;
inline constexpr int kMappingColumnCount = 4;

// The grid's caption row.
const std::vector<std::string>& MappingColumnCaptions();

// The 30 built-in rows with their shop columns and default values; Selectline fields and prefixes empty.
FieldMapping BuildDefaultMapping();

// The 52 Selectline field names offered in the list beside the grid, in their fixed order.
const std::vector<std::string>& SelectlineFieldNames();

// The text of grid column `column` (0 to 3) of a row.
std::string& MappingCell(MappingRow& row, int column);
const std::string& MappingCell(const MappingRow& row, int column);

}  // namespace warenkai
