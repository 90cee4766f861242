#include "selectline/variant.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <system_error>

namespace warenkai {
namespace {

// Days from 30.12.1899 (day 0 of the automation server's dates) for a proleptic Gregorian date.
std::int64_t DateSerial(const Date& date) {
    // Days from 01.03.0000, shifted so that the year starts in March (leap day at its end).
    const auto daysFromCivil = [](std::int64_t y, std::int64_t m, std::int64_t d) {
        y -= m <= 2 ? 1 : 0;
        const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
        const std::int64_t yearOfEra = y - era * 400;
        const std::int64_t dayOfYear = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
        const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
        return era * 146097 + dayOfEra;
    };
    return daysFromCivil(date.year, date.month, date.day) - daysFromCivil(1899, 12, 30);
}

bool EqualsIgnoringCase(const std::string& text, const char* word) {
    std::size_t i = 0;
    for (; i < text.size() && word[i] != '\0'; ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(text[i]) != lower(word[i])) {
            return false;
        }
    }
    return i == text.size() && word[i] == '\0';
}

std::string TrimSpacesAndTabs(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The integer part of a number text with a decimal comma may group its digits by points ("1.234,5").
// Returns the digits without the points, or std::nullopt when the points are not in group places.
std::optional<std::string> UngroupedDigits(const std::string& digits) {
    if (digits.find('.') == std::string::npos) {
        return digits;
    }
    std::string plain;
    std::size_t groupLength = 0;
    bool firstGroup = true;
    for (const char c : digits) {
        if (c == '.') {
            if ((firstGroup && (groupLength == 0 || groupLength > 3)) || (!firstGroup && groupLength != 3)) {
                return std::nullopt;
            }
            firstGroup = false;
            groupLength = 0;
        } else {
            plain += c;
            ++groupLength;
        }
    }
    if (!firstGroup && groupLength != 3) {
        return std::nullopt;
    }
    return plain;
}

}  // namespace

std::string FormatGermanNumber(double number) {
    if (std::isnan(number)) {
        return "NaN";
    }
    if (std::isinf(number)) {
        return number < 0 ? "-1,#INF" : "1,#INF";
    }
    if (number == 0.0) {
        return "0";
    }
    // 15 significant digits, rounded: "d.dddddddddddddde±x" (locale-independent).
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(number),
                                      std::chars_format::scientific, 14);
    const std::string scientific(buffer, result.ptr);
    const auto ePos = scientific.find('e');
    std::string digits = scientific.substr(0, 1) + scientific.substr(2, ePos - 2);
    const int exponent = std::atoi(scientific.c_str() + ePos + 1);
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    const int significant = static_cast<int>(digits.size());

    std::string text = number < 0 ? "-" : "";
    // Like the regional conversion of the automation server's numbers: plain notation while it needs
    // at most 15 integer digits and at most 15 places after the comma, else "1,5E+20" / "3,3E-07".
    const int places = significant - 1 - exponent;
    if (exponent >= 15 || places > 15) {
        text += digits.substr(0, 1);
        if (significant > 1) {
            text += ',' + digits.substr(1);
        }
        char exponentText[16];
        std::snprintf(exponentText, sizeof exponentText, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        return text + exponentText;
    }
    if (exponent < 0) {
        text += "0," + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else if (significant <= exponent + 1) {
        text += digits + std::string(static_cast<std::size_t>(exponent + 1 - significant), '0');
    } else {
        text += digits.substr(0, static_cast<std::size_t>(exponent + 1)) + ',' +
                digits.substr(static_cast<std::size_t>(exponent + 1));
    }
    return text;
}

std::string FormatGermanDate(const Date& date) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%02d.%02d.%04d", date.day, date.month, date.year);
    return buffer;
}

std::optional<double> ParseGermanNumber(const std::string& text) {
    const std::string trimmed = TrimSpacesAndTabs(text);
    std::size_t i = 0;
    std::string normalized;
    if (i < trimmed.size() && (trimmed[i] == '-' || trimmed[i] == '+')) {
        if (trimmed[i] == '-') {
            normalized += '-';
        }
        ++i;
    }
    // Integer part (digits, with points as group marks when a comma follows).
    std::string integerPart;
    while (i < trimmed.size() && (IsDigit(trimmed[i]) || trimmed[i] == '.' || trimmed[i] == ',')) {
        integerPart += trimmed[i];
        ++i;
    }
    std::string exponentPart = trimmed.substr(i);
    const auto comma = integerPart.find(',');
    std::string mantissa;
    if (comma != std::string::npos) {
        if (integerPart.find(',', comma + 1) != std::string::npos) {
            return std::nullopt;
        }
        const std::string fraction = integerPart.substr(comma + 1);
        if (fraction.find('.') != std::string::npos) {
            return std::nullopt;
        }
        const auto whole = UngroupedDigits(integerPart.substr(0, comma));
        if (!whole) {
            return std::nullopt;
        }
        mantissa = *whole + "." + fraction;
    } else {
        const auto point = integerPart.find('.');
        if (point != std::string::npos && integerPart.find('.', point + 1) != std::string::npos) {
            return std::nullopt;
        }
        mantissa = integerPart;
    }
    bool anyDigit = false;
    for (const char c : mantissa) {
        anyDigit = anyDigit || IsDigit(c);
    }
    if (!anyDigit) {
        return std::nullopt;
    }
    if (!exponentPart.empty()) {
        if (exponentPart[0] != 'E' && exponentPart[0] != 'e') {
            return std::nullopt;
        }
        std::size_t j = 1;
        if (j < exponentPart.size() && (exponentPart[j] == '+' || exponentPart[j] == '-')) {
            ++j;
        }
        if (j == exponentPart.size()) {
            return std::nullopt;
        }
        for (; j < exponentPart.size(); ++j) {
            if (!IsDigit(exponentPart[j])) {
                return std::nullopt;
            }
        }
    }
    normalized += mantissa + exponentPart;
    double value = 0.0;
    const char* end = normalized.data() + normalized.size();
    const auto result = std::from_chars(normalized.data(), end, value);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
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
    if (const auto* text = std::get_if<std::string>(&m_value)) {
        const std::string word = TrimSpacesAndTabs(*text);
        if (EqualsIgnoringCase(word, "Wahr") || EqualsIgnoringCase(word, "True") || EqualsIgnoringCase(word, "Ja")) {
            return true;
        }
    }
    const auto number = ToNumber();
    return number && *number != 0.0;
}

std::optional<double> Variant::ToNumber() const {
    struct Visitor {
        std::optional<double> operator()(std::monostate) const { return std::nullopt; }
        std::optional<double> operator()(const std::string& text) const { return ParseGermanNumber(text); }
        std::optional<double> operator()(std::int64_t number) const { return static_cast<double>(number); }
        std::optional<double> operator()(double number) const { return number; }
        std::optional<double> operator()(const Date& date) const { return static_cast<double>(DateSerial(date)); }
        std::optional<double> operator()(bool truth) const { return truth ? -1.0 : 0.0; }
    };
    return std::visit(Visitor{}, m_value);
}

}  // namespace warenkai
