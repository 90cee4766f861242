#include "selectline/variant.h"

#include <cstdio>

namespace warenkai {

std::string FormatGermanNumber(double number) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", number);
    std::string text = buffer;
    for (char& c : text) {
        if (c == '.') {
            c = ',';
        }
    }
    return text;
}

std::string FormatGermanDate(const Date& date) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d.%02d.%04d", date.day, date.month, date.year);
    return buffer;
}

std::string Variant::ToText() const {
    struct Visitor {
        std::string operator()(std::monostate) const { return {}; }
        std::string operator()(const std::string& text) const { return text; }
        std::string operator()(std::int64_t number) const { return std::to_string(number); }
        std::string operator()(double number) const { return FormatGermanNumber(number); }
        std::string operator()(const Date& date) const { return FormatGermanDate(date); }
        std::string operator()(bool truth) const { return truth ? "Wahr" : "Falsch"; }
    };
    return std::visit(Visitor{}, m_value);
}

bool Variant::ToBool() const {
    if (const auto* truth = std::get_if<bool>(&m_value)) {
        return *truth;
    }
    const auto number = ToNumber();
    if (number) {
        return *number != 0.0;
    }
    if (const auto* text = std::get_if<std::string>(&m_value)) {
        return *text == "Wahr" || *text == "True" || *text == "Ja";
    }
    return false;
}

std::optional<double> Variant::ToNumber() const {
    if (const auto* whole = std::get_if<std::int64_t>(&m_value)) {
        return static_cast<double>(*whole);
    }
    if (const auto* floating = std::get_if<double>(&m_value)) {
        return *floating;
    }
    if (const auto* truth = std::get_if<bool>(&m_value)) {
        return *truth ? -1.0 : 0.0;
    }
    return std::nullopt;
}

}  // namespace warenkai
