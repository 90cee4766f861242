#include "export/row_plan.h"

#include <string_view>

#include "export/clean_value.h"

namespace warenkai {
namespace {

struct DerivedField {
    std::string_view name;
    FieldRule rule;
    std::string_view key;
};

// The derived Selectline field names, compared exactly (case and blanks count).
constexpr DerivedField kDerivedFields[] = {
    {"Artikelgruppe", FieldRule::GroupName, ""},
    {"Artikelgruppe Parent", FieldRule::ParentGroupName, ""},
    {"Langtext", FieldRule::Text, "AR"},
    {"Dimension", FieldRule::Text, "AT"},
    {"Info", FieldRule::Text, "AI"},
    {"Bestell", FieldRule::Text, "AS"},
    {"Listenpreis", FieldRule::ListPrice, ""},
    {"Preis1", FieldRule::Price, "1"},
    {"Preis2", FieldRule::Price, "2"},
    {"Preis3", FieldRule::Price, "3"},
    {"Preis4", FieldRule::Price, "4"},
    {"Preis5", FieldRule::Price, "5"},
    {"Preis6", FieldRule::Price, "6"},
    {"Preis7", FieldRule::Price, "7"},
    {"Preis8", FieldRule::Price, "8"},
    {"Preis9", FieldRule::Price, "9"},
    {"Preis1 ab", FieldRule::PriceValidFrom, "1"},
    {"Preis2 ab", FieldRule::PriceValidFrom, "2"},
    {"Preis3 ab", FieldRule::PriceValidFrom, "3"},
    {"Preis4 ab", FieldRule::PriceValidFrom, "4"},
    {"Preis5 ab", FieldRule::PriceValidFrom, "5"},
    {"Preis6 ab", FieldRule::PriceValidFrom, "6"},
    {"Preis7 ab", FieldRule::PriceValidFrom, "7"},
    {"Preis8 ab", FieldRule::PriceValidFrom, "8"},
    {"Preis9 ab", FieldRule::PriceValidFrom, "9"},
    {"Aktionspreis", FieldRule::SpecialPrice, ""},
    {"Aktionspreis ab", FieldRule::SpecialPriceFrom, ""},
    {"Aktionspreis bis", FieldRule::SpecialPriceTo, ""},
    {"MwSt-Satz", FieldRule::TaxRate, ""},
};

const DerivedField* FindDerived(const std::string& name) {
    for (const auto& derived : kDerivedFields) {
        if (derived.name == name) {
            return &derived;
        }
    }
    return nullptr;
}

}  // namespace

FieldRule ClassifyField(const std::string& selectlineField) {
    if (TrimBlanks(selectlineField).empty()) {
        return FieldRule::DefaultOnly;
    }
    const DerivedField* derived = FindDerived(selectlineField);
    return derived == nullptr ? FieldRule::PlainField : derived->rule;
}

RowRoute RouteOf(const std::string& shopColumn) {
    if (shopColumn == "angebot_von") {
        return RowRoute::OfferFrom;
    }
    if (shopColumn == "angebot_bis") {
        return RowRoute::OfferTo;
    }
    if (shopColumn == "angebot_von_handler") {
        return RowRoute::DealerOfferFrom;
    }
    if (shopColumn == "angebot_bis_handler") {
        return RowRoute::DealerOfferTo;
    }
    if (shopColumn == "obergruppe") {
        return RowRoute::MainGroup;
    }
    if (shopColumn == "untergruppe") {
        return RowRoute::SubGroup;
    }
    return RowRoute::None;
}

RowPlan PlanRow(const MappingRow& row) {
    RowPlan plan;
    plan.rule = ClassifyField(row.selectlineField);
    plan.field = row.selectlineField;
    if (const DerivedField* derived = FindDerived(row.selectlineField)) {
        plan.key = derived->key;
    }
    // Prefix and value are both trimmed and the value follows the prefix directly, so cleaning them
    // one after the other gives the same text as cleaning them joined.
    plan.cleanPrefix = CleanValue(row.prefix);
    plan.cleanDefault = CleanValue(row.defaultValue);
    plan.route = RouteOf(row.shopColumn);
    return plan;
}

std::vector<RowPlan> PlanRows(const FieldMapping& mapping) {
    std::vector<RowPlan> plans;
    plans.reserve(mapping.size());
    for (const auto& row : mapping) {
        plans.push_back(PlanRow(row));
    }
    return plans;
}

}  // namespace warenkai
