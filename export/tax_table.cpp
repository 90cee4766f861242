#include "export/tax_table.h"

#include <cstring>

#include "selectline/selectline_application.h"

namespace warenkai {
namespace {

// Equal keys for values that SameValue cannot tell apart from any code.
std::string CodeKey(const ComparableValue& value) {
    std::string key(value.empty ? "E" : "V");
    if (value.number) {
        char bytes[sizeof(double)];
        std::memcpy(bytes, &*value.number, sizeof bytes);
        key.append(bytes, sizeof bytes);
    } else {
        key.append(sizeof(double), '-');
    }
    return key.append(value.text);
}

}  // namespace

TaxTable TaxTable::Read(SelectlineTable& taxes) {
    TaxTable table;
    taxes.First();
    const std::int64_t count = taxes.Recordcount();
    try {
        for (std::int64_t record = 0; record < count; ++record) {
            Record read{ComparableValue(taxes.GetField("Steuercode")),
                        ServerValue::Of([&] { return taxes.GetField("GueltigAb"); }), std::nullopt,
                        ServerValue::Of([&] { return taxes.GetField("Steuer"); })};
            if (!read.validFrom.failed()) {
                read.validFromDate = AsDate(read.validFrom.Get());
            }
            table.m_records.push_back(std::move(read));
            taxes.Next();
        }
    } catch (...) {
        table.m_endError = std::current_exception();
    }
    return table;
}

std::string TaxTable::Rate(const std::function<Variant()>& salesTaxCode) {
    if (m_records.empty()) {
        if (m_endError) {
            std::rethrow_exception(m_endError);
        }
        return {};
    }
    const ComparableValue code(salesTaxCode());
    std::string key = CodeKey(code);
    const auto known = m_rateByCode.find(key);
    if (known != m_rateByCode.end()) {
        return known->second;
    }
    std::string rate = Search(code);
    m_rateByCode.emplace(std::move(key), rate);
    return rate;
}

std::string TaxTable::Search(const ComparableValue& salesTaxCode) const {
    std::optional<Date> bestDate;
    std::string rate;
    for (const Record& record : m_records) {
        if (SameValue(record.code, salesTaxCode)) {
            record.validFrom.Get();
            const bool later = record.validFromDate && (!bestDate || *bestDate < *record.validFromDate);
            if (!bestDate || later) {
                bestDate = record.validFromDate;
                rate = record.rate.Get().ToText();
            }
        }
    }
    if (m_endError) {
        std::rethrow_exception(m_endError);
    }
    return rate;
}

}  // namespace warenkai
