#include "export/evaluate_row.h"

#include "common/limited_error_list.h"
#include "export/article_prices.h"
#include "export/clean_value.h"
#include "export/group_lookup.h"
#include "selectline/selectline_application.h"

namespace warenkai {
namespace {

std::string RewrittenDate(const Variant& date, const ArticleSources& sources, const std::string& articleNumber) {
    auto rewritten = DateValueRewrite(date);
    if (!rewritten) {
        // The row falls back to its default value and the transfer goes on.
        sources.errors.Add("Fehler: Artikel " + articleNumber + ": Datum \"" + date.ToText() + "\" nicht lesbar");
        return {};
    }
    return std::move(*rewritten);
}

}  // namespace

std::string RawValue(const RowPlan& plan, const ArticleSources& sources, const std::string& articleNumber) {
    switch (plan.rule) {
        case FieldRule::DefaultOnly:
            return {};
        case FieldRule::PlainField:
            return sources.articles.GetField(plan.field).ToText();
        case FieldRule::GroupName:
            return LookUpGroup(sources.groups, sources.articles.GetField("Artikelgruppe").ToText(), false).lowerGroup;
        case FieldRule::ParentGroupName:
            return LookUpGroup(sources.groups, sources.articles.GetField("Artikelgruppe").ToText(), true).upperGroup;
        case FieldRule::Text:
            if (sources.texts.FindKey(plan.key + articleNumber)) {
                return sources.texts.GetField("TEXT").ToText();
            }
            return {};
        case FieldRule::ListPrice:
            return PriceText(sources.application.Listenpreis(articleNumber));
        case FieldRule::Price:
            if (sources.prices.FindKey3(articleNumber, "G", plan.key)) {
                return PriceText(sources.prices.GetField("Preis"));
            }
            return {};
        case FieldRule::PriceValidFrom:
            if (sources.prices.FindKey3(articleNumber, "G", plan.key)) {
                return RewrittenDate(sources.prices.GetField("VonDatum"), sources, articleNumber);
            }
            return {};
        case FieldRule::SpecialPrice:
            if (sources.prices.FindKey2(articleNumber, "A")) {
                return PriceText(sources.prices.GetField("Preis"));
            }
            return {};
        case FieldRule::SpecialPriceFrom:
            if (sources.prices.FindKey2(articleNumber, "A")) {
                return RewrittenDate(sources.prices.GetField("VonDatum"), sources, articleNumber);
            }
            return {};
        case FieldRule::SpecialPriceTo:
            if (sources.prices.FindKey2(articleNumber, "A")) {
                return RewrittenDate(sources.prices.GetField("BisDatum"), sources, articleNumber);
            }
            return {};
        case FieldRule::TaxRate:
            return SearchTaxRate(sources.taxes, sources.articles);
    }
    return {};
}

void EvaluateRow(const RowPlan& plan, const ArticleSources& sources, const std::string& articleNumber,
                 std::string& value) {
    value.clear();
    if (plan.rule == FieldRule::DefaultOnly) {
        value = plan.cleanDefault;
        return;
    }
    const std::string raw = RawValue(plan, sources, articleNumber);
    if (raw.empty()) {
        value = plan.cleanDefault;
        return;
    }
    value = plan.cleanPrefix;
    AppendCleanValue(value, raw);
}

}  // namespace warenkai
