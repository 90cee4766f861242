#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace warenkai {

// A calendar date as the automation server hands it over.
struct Date {
    int year = 0;
    int month = 0;
    int day = 0;

    auto operator<=>(const Date&) const = default;
};

// A result of the automation server: empty, text, whole number, floating number, date or truth value.
// The conversions give what a German Windows system's regional settings would give.
class Variant {
public:
    using Value = std::variant<std::monostate, std::string, std::int64_t, double, Date, bool>;

    Variant() = default;
    Variant(std::string text) : m_value(std::move(text)) {}
    Variant(const char* text) : m_value(std::string(text)) {}
    Variant(std::int64_t number) : m_value(number) {}
    Variant(int number) : m_value(static_cast<std::int64_t>(number)) {}
    Variant(double number) : m_value(number) {}
    Variant(Date date) : m_value(date) {}
    Variant(bool truth) : m_value(truth) {}

    const Value& value() const { return m_value; }
    bool IsEmpty() const { return std::holds_alternative<std::monostate>(m_value); }

    // Text as the regional settings give it: floating numbers with a decimal comma, no grouping, up
    // to 15 significant digits, no trailing zeros (19.9 -> "19,9", 100 -> "100", 1e20 -> "1E+20",
    // 1e-20 -> "1E-20"); whole numbers plain; dates as "01.03.2025"; truth values "Wahr" / "Falsch";
    // empty -> "".
    std::string ToText() const;

    // Truth value: numbers are true when not 0; texts "Wahr"/"True"/"Ja" (any case) or a number not 0
    // are true; empty is false.
    bool ToBool() const;

    // Number: whole and floating numbers as they are, truth values as -1 / 0, dates as their day
    // number (days since 30.12.1899), texts read by ParseGermanNumber; std::nullopt when there is no
    // number.
    std::optional<double> ToNumber() const;

    bool operator==(const Variant&) const = default;

private:
    Value m_value;
};

// "19,9" style text of a floating number (see Variant::ToText).
std::string FormatGermanNumber(double number);
// "01.03.2025" style text of a date.
std::string FormatGermanDate(const Date& date);
// Reads a number text with a decimal comma ("19,9", "-1.234,5" with points grouping the integer
// digits) or a decimal point ("19.9"), optionally with an exponent ("1,5E+20"); blanks around it are
// allowed. std::nullopt when the text is not such a number.
std::optional<double> ParseGermanNumber(const std::string& text);

}  // namespace warenkai
