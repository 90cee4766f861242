#pragma once

#include <string>
#include <vector>

#include "mapping/field_mapping.h"

namespace warenkai {

// How the value of a mapping row is found: read as a plain field of the article table, or computed
// by one of the rules behind the derived Selectline field names.
enum class FieldRule {
    DefaultOnly,       // no Selectline field: the default value
    PlainField,        // the article table's field of that name
    GroupName,         // "Artikelgruppe"
    ParentGroupName,   // "Artikelgruppe Parent"
    Text,              // "Langtext", "Dimension", "Info", "Bestell"
    ListPrice,         // "Listenpreis"
    Price,             // "Preis1" … "Preis9"
    PriceValidFrom,    // "Preis1 ab" … "Preis9 ab"
    SpecialPrice,      // "Aktionspreis"
    SpecialPriceFrom,  // "Aktionspreis ab"
    SpecialPriceTo,    // "Aktionspreis bis"
    TaxRate,           // "MwSt-Satz"
};

// Where a row's value is kept besides the record, by its shop column.
enum class RowRoute { None, OfferFrom, OfferTo, DealerOfferFrom, DealerOfferTo, MainGroup, SubGroup };

// One mapping row, worked out once per run.
struct RowPlan {
    FieldRule rule = FieldRule::DefaultOnly;
    // The Selectline field as it stands in the grid (read under this name by PlainField).
    std::string field;
    // Text: the text key's code ("AR", "AT", "AI", "AS"); the price rules: the price number "1" … "9".
    std::string key;
    // The prefix, trimmed and cleaned; empty when the row has none.
    std::string cleanPrefix;
    // The default value, trimmed and cleaned: the row's value whenever its raw value is empty.
    std::string cleanDefault;
    RowRoute route = RowRoute::None;
};

FieldRule ClassifyField(const std::string& selectlineField);
RowRoute RouteOf(const std::string& shopColumn);
RowPlan PlanRow(const MappingRow& row);
std::vector<RowPlan> PlanRows(const FieldMapping& mapping);

}  // namespace warenkai
