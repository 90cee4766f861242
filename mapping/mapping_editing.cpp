#include "mapping/mapping_editing.h"

#include <algorithm>

#include "common/user_dialogs.h"

namespace warenkai {
namespace {

MappingRow* RowAt(FieldMapping& mapping, int row) {
    if (row < 1 || row > static_cast<int>(mapping.size())) {
        return nullptr;
    }
    return &mapping[static_cast<std::size_t>(row - 1)];
}

}  // namespace

void LinkSelectlineField(FieldMapping& mapping, int currentRow, const std::string& selectedName, UserDialogs& dialogs) {
    MappingRow* row = RowAt(mapping, currentRow);
    if (row == nullptr) {
        return;
    }
    const bool alreadyMapped = std::any_of(
        mapping.begin(), mapping.end(), [&](const MappingRow& other) { return other.selectlineField == selectedName; });
    if (alreadyMapped && !dialogs.AskYesNo("Spalte von Selectline bereits vorhanden, trotzdem einfügen?")) {
        return;
    }
    row->selectlineField = selectedName;
}

void ClearMappingRow(FieldMapping& mapping, int currentRow, UserDialogs& dialogs) {
    if (!dialogs.AskYesNo("Wollen Sie die Zeile wirklich löschen?")) {
        return;
    }
    if (MappingRow* row = RowAt(mapping, currentRow)) {
        row->selectlineField.clear();
        row->defaultValue.clear();
    }
}

void Eingabefeld_MSHFlexgrid(FieldMapping& mapping, int currentRow, int currentColumn, UserDialogs& dialogs) {
    MappingRow* row = RowAt(mapping, currentRow);
    if (row == nullptr || currentColumn < 1 || currentColumn >= kMappingColumnCount) {
        return;
    }
    // Cancel leaves the cell as it was; OK with an empty field empties it.
    std::string& cell = MappingCell(*row, currentColumn);
    if (auto answer = dialogs.AskText("Bitte geben Sie einen Wert ein:", "Eingabe", cell)) {
        cell = std::move(*answer);
    }
}

void MappingCellClicked(FieldMapping& mapping, int currentRow, int currentColumn, UserDialogs& dialogs) {
    if (currentColumn == 2 || currentColumn == 3) {
        Eingabefeld_MSHFlexgrid(mapping, currentRow, currentColumn, dialogs);
    }
}

}  // namespace warenkai
