#pragma once

#include <string>

#include "mapping/field_mapping.h"

namespace warenkai {

class UserDialogs;

// The three ways the user edits the mapping. `currentRow` is the grid's current row (1 to 30),
// `currentColumn` its current column.

// "Verbinden": writes `selectedName` (empty when no list entry is selected) into the Selectline field
// of the current row; asks first when any row already holds that name.
void LinkSelectlineField(FieldMapping& mapping, int currentRow, const std::string& selectedName,
                         UserDialogs& dialogs);

// "Zeile löschen": after a Yes, empties the Selectline field and the default value of the current row.
void ClearMappingRow(FieldMapping& mapping, int currentRow, UserDialogs& dialogs);

// Edits the current cell through the input box "Eingabe"; Cancel empties the cell.
void Eingabefeld_MSHFlexgrid(FieldMapping& mapping, int currentRow, int currentColumn, UserDialogs& dialogs);

// A click on a grid cell: opens the input box when the current column is 2 or 3, else does nothing.
void MappingCellClicked(FieldMapping& mapping, int currentRow, int currentColumn, UserDialogs& dialogs);

}  // namespace warenkai
