#include "mapping/field_mapping.h"

#include <stdexcept>

namespace warenkai {

const std::vector<std::string>& MappingColumnCaptions() {
    static const std::vector<std::string> captions = {
        "Spalten Webshop", "Spalten Selectline", "Spalten Standardwert", "Wert vor Selectlinewert"};
    return captions;
}

FieldMapping BuildDefaultMapping() {
    struct BuiltIn {
        const char* shopColumn;
        const char* defaultValue;
    };
    static constexpr BuiltIn rows[kMappingRowCount] = {
        {"artikelnummer", ""},
        {"bezeichnung", ""},
        {"beschreibung", ""},
        {"lieferantennummer", ""},
        {"bild", ""},
        {"vk_netto", "0"},
        {"vk_brutto", "0"},
        {"gewicht", "0"},
        {"packungseinheit", ""},
        {"mengeneinheit", ""},
        {"angebot_vk_netto", "0"},
        {"angebot_vk_brutto", "0"},
        {"angebot_von", ""},
        {"angebot_bis", ""},
        {"obergruppe", ""},
        {"untergruppe", ""},
        {"artikelrabatt", ""},
        {"mwstsatz", "16"},
        {"bild_gross", ""},
        {"pdf_datei", ""},
        {"eancode", ""},
        {"verfugbarkeit", "Ab Lager"},
        {"hersteller", ""},
        {"herstellernummer", ""},
        {"vk_netto_handler", "0"},
        {"vk_brutto_handler", "0"},
        {"angebot_vk_netto_handler", "0"},
        {"angebot_vk_brutto_handler", "0"},
        {"angebot_von_handler", ""},
        {"angebot_bis_handler", ""},
    };
    FieldMapping mapping;
    mapping.reserve(kMappingRowCount);
    for (const auto& row : rows) {
        mapping.push_back(MappingRow{row.shopColumn, "", row.defaultValue, ""});
    }
    return mapping;
}

const std::vector<std::string>& SelectlineFieldNames() {
    static const std::vector<std::string> names = {
        "Artikelnummer", "EANnummer", "Bezeichnung", "Zusatz", "Matchcode",
        "Artikelgruppe", "Artikelgruppe Parent", "MwSt-Satz", "Mengeneinheit", "Gewicht",
        "Losgroesse", "Hersteller", "HstArtikelnummer", "Lieferant", "FreierText1",
        "FreierText2", "FreieZahl1", "FreieZahl2", "FreieZahl3", "FreieZahl4",
        "FreiesDatum1", "FreiesDatum2", "FreiesKennzeichen1", "FreiesKennzeichen2", "FreiesKennzeichen3",
        "FreiesKennzeichen4", "Listenpreis", "Preis1", "Preis1 ab", "Preis2",
        "Preis2 ab", "Preis3", "Preis3 ab", "Preis4", "Preis4 ab",
        "Preis5", "Preis5 ab", "Preis6", "Preis6 ab", "Preis7",
        "Preis7 ab", "Preis8", "Preis8 ab", "Preis9", "Preis9 ab",
        "Aktionspreis", "Aktionspreis ab", "Aktionspreis bis", "Langtext", "Dimension",
        "Info", "Bestell",
    };
    return names;
}

std::string& MappingCell(MappingRow& row, int column) {
    switch (column) {
    case 0: return row.shopColumn;
    case 1: return row.selectlineField;
    case 2: return row.defaultValue;
    case 3: return row.prefix;
    default: throw std::out_of_range("mapping column " + std::to_string(column));
    }
}

const std::string& MappingCell(const MappingRow& row, int column) {
    return MappingCell(const_cast<MappingRow&>(row), column);
}

}  // namespace warenkai
