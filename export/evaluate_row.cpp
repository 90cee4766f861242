#include "export/evaluate_row.h"

#include "common/limited_error_list.h"
#include "export/article_prices.h"
#include "export/article_reader.h"
#include "export/clean_value.h"

namespace warenkai {
namespace {

std::string RewrittenDate(const Variant& date, ArticleReader& reader) {
    auto rewritten = DateValueRewrite(date);
    if (!rewritten) {
        // The row falls back to its default value and the transfer goes on.
        reader.errors().Add("Fehler: Artikel " + reader.articleNumber() + ": Datum \"" + date.ToText() +
                            "\" nicht lesbar");
        return {};
    }
    return std::move(*rewritten);
}

std::string PriceField(const ArticleReader::PriceRecord& record, const ServerValue& amount) {
    return record.found ? PriceText(amount.Get()) : std::string();
}

std::string DateField(const ArticleReader::PriceRecord& record, const ServerValue& date, ArticleReader& reader) {
    return record.found ? RewrittenDate(date.Get(), reader) : std::string();
}

}  // namespace

std::string RawValue(const RowPlan& plan, ArticleReader& reader) {
    switch (plan.rule) {
        case FieldRule::DefaultOnly:
            return {};
        case FieldRule::PlainField:
            return reader.Field(plan.field).ToText();
        case FieldRule::GroupName:
            return reader.Group(false).lowerGroup;
        case FieldRule::ParentGroupName:
            return reader.Group(true).upperGroup;
        case FieldRule::Text: {
            const Variant* text = reader.Text(plan.key);
            return text != nullptr ? text->ToText() : std::string();
        }
        case FieldRule::ListPrice:
            return PriceText(reader.ListPrice());
        case FieldRule::Price: {
            const auto& record = reader.Price(plan.key);
            return PriceField(record, record.amount);
        }
        case FieldRule::PriceValidFrom: {
            const auto& record = reader.Price(plan.key);
            return DateField(record, record.from, reader);
        }
        case FieldRule::SpecialPrice: {
            const auto& record = reader.SpecialPrice();
            return PriceField(record, record.amount);
        }
        case FieldRule::SpecialPriceFrom: {
            const auto& record = reader.SpecialPrice();
            return DateField(record, record.from, reader);
        }
        case FieldRule::SpecialPriceTo: {
            const auto& record = reader.SpecialPrice();
            return DateField(record, record.to, reader);
        }
        case FieldRule::TaxRate:
            return reader.TaxRate();
    }
    return {};
}

void EvaluateRow(const RowPlan& plan, ArticleReader& reader, std::string& value) {
    value.clear();
    if (plan.rule == FieldRule::DefaultOnly) {
        value = plan.cleanDefault;
        return;
    }
    const std::string raw = RawValue(plan, reader);
    if (raw.empty()) {
        value = plan.cleanDefault;
        return;
    }
    value = plan.cleanPrefix;
    AppendCleanValue(value, raw);
}

}  // namespace warenkai
