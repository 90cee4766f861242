#include "selectline/standin/column_value.h"

#include <charconv>
#include <cstdio>
#include <system_error>

namespace warenkai::standin {
namespace {

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

bool IsDigits(const std::string& text, std::size_t from, std::size_t count) {
    if (from + count > text.size()) {
        return false;
    }
    for (std::size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
    }
    return true;
}

int Number(const std::string& text, std::size_t from, std::size_t count) {
    int value = 0;
    for (std::size_t i = from; i < from + count; ++i) {
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

bool IsValidDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) {
        return false;
    }
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int length = month == 2 && leap ? 29 : lengths[month - 1];
    return day <= length;
}

std::optional<bool> TruthOf(const std::string& text) {
    const std::string word = Upper(Trimmed(text));
    if (word == "WAHR" || word == "TRUE" || word == "JA" || word == "1" || word == "-1") {
        return true;
    }
    if (word == "FALSCH" || word == "FALSE" || word == "NEIN" || word == "0") {
        return false;
    }
    return std::nullopt;
}

}  // namespace

ColumnType ColumnTypeOf(const std::string& declaredType) {
    const std::string type = Upper(declaredType);
    if (Contains(type, "BOOL")) {
        return ColumnType::Boolean;
    }
    if (Contains(type, "DATE")) {
        return ColumnType::Date;
    }
    if (Contains(type, "INT")) {
        return ColumnType::Integer;
    }
    if (Contains(type, "REAL") || Contains(type, "FLOA") || Contains(type, "DOUB") || Contains(type, "NUM") ||
        Contains(type, "DEC")) {
        return ColumnType::Real;
    }
    return ColumnType::Text;
}

std::optional<Date> ParseDateText(const std::string& raw) {
    const std::string text = Trimmed(raw);
    // 'YYYY-MM-DD', possibly with a time after a blank or a 'T'.
    if (IsDigits(text, 0, 4) && text.size() >= 10 && text[4] == '-' && IsDigits(text, 5, 2) && text[7] == '-' &&
        IsDigits(text, 8, 2) && (text.size() == 10 || text[10] == ' ' || text[10] == 'T')) {
        const Date date{Number(text, 0, 4), Number(text, 5, 2), Number(text, 8, 2)};
        if (IsValidDate(date.year, date.month, date.day)) {
            return date;
        }
        return std::nullopt;
    }
    // 'd.m.yyyy' with one or two digits for day and month.
    const auto firstPoint = text.find('.');
    const auto secondPoint = firstPoint == std::string::npos ? std::string::npos : text.find('.', firstPoint + 1);
    if (secondPoint == std::string::npos) {
        return std::nullopt;
    }
    const std::size_t dayLength = firstPoint;
    const std::size_t monthLength = secondPoint - firstPoint - 1;
    const std::size_t yearLength = text.size() - secondPoint - 1;
    if (dayLength < 1 || dayLength > 2 || monthLength < 1 || monthLength > 2 || yearLength != 4 ||
        !IsDigits(text, 0, dayLength) || !IsDigits(text, firstPoint + 1, monthLength) ||
        !IsDigits(text, secondPoint + 1, 4)) {
        return std::nullopt;
    }
    const Date date{Number(text, secondPoint + 1, 4), Number(text, firstPoint + 1, monthLength),
                    Number(text, 0, dayLength)};
    if (!IsValidDate(date.year, date.month, date.day)) {
        return std::nullopt;
    }
    return date;
}

std::string IsoDateText(const Date& date) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", date.year, date.month, date.day);
    return buffer;
}

namespace {

Variant TextToVariant(std::string&& text, ColumnType type) {
    if (type == ColumnType::Date) {
        if (const auto date = ParseDateText(text)) {
            return *date;
        }
    } else if (type == ColumnType::Boolean) {
        if (const auto truth = TruthOf(text)) {
            return *truth;
        }
    }
    return Variant(std::move(text));
}

}  // namespace

Variant ToVariant(const StoredValue& stored, ColumnType type) {
    if (std::holds_alternative<std::monostate>(stored)) {
        return {};
    }
    if (const auto* text = std::get_if<std::string>(&stored)) {
        return TextToVariant(std::string(*text), type);
    }
    const auto* whole = std::get_if<std::int64_t>(&stored);
    const double number = whole != nullptr ? static_cast<double>(*whole) : std::get<double>(stored);
    switch (type) {
    case ColumnType::Text:
        // A number in a TEXT column (SQLite keeps text there; only odd files get here).
        return whole != nullptr ? std::to_string(*whole) : FormatGermanNumber(number);
    case ColumnType::Boolean:
        return number != 0.0;
    case ColumnType::Real:
        return number;
    case ColumnType::Integer:
    case ColumnType::Date:
        if (whole != nullptr) {
            return *whole;
        }
        return number;
    }
    return {};
}

Variant ToVariant(StoredValue&& stored, ColumnType type) {
    if (auto* text = std::get_if<std::string>(&stored)) {
        return TextToVariant(std::move(*text), type);
    }
    return ToVariant(static_cast<const StoredValue&>(stored), type);
}

std::optional<StoredValue> FromText(const std::string& text, ColumnType type) {
    // Each branch builds the value in place (GCC 12 misreads moves of a variant into an optional).
    std::optional<StoredValue> result;
    const std::string trimmed = Trimmed(text);
    if (type == ColumnType::Text) {
        result.emplace(std::in_place_type<std::string>, text);
    } else if (trimmed.empty()) {
        result.emplace(std::in_place_type<std::monostate>);
    } else if (type == ColumnType::Integer) {
        std::int64_t value = 0;
        const char* begin = trimmed.data() + (trimmed[0] == '+' ? 1 : 0);
        const char* end = trimmed.data() + trimmed.size();
        const auto parsed = std::from_chars(begin, end, value);
        if (parsed.ec == std::errc() && parsed.ptr == end) {
            result.emplace(std::in_place_type<std::int64_t>, value);
        }
    } else if (type == ColumnType::Real) {
        if (const auto number = ParseGermanNumber(trimmed)) {
            result.emplace(std::in_place_type<double>, *number);
        }
    } else if (type == ColumnType::Date) {
        if (const auto date = ParseDateText(trimmed)) {
            result.emplace(std::in_place_type<std::string>, IsoDateText(*date));
        }
    } else if (type == ColumnType::Boolean) {
        if (const auto truth = TruthOf(trimmed)) {
            result.emplace(std::in_place_type<std::int64_t>, *truth ? 1 : 0);
        }
    }
    return result;
}

std::string TypeDescription(ColumnType type) {
    switch (type) {
    case ColumnType::Text:
        return "ein Text";
    case ColumnType::Integer:
        return "eine ganze Zahl";
    case ColumnType::Real:
        return "eine Zahl";
    case ColumnType::Date:
        return "ein Datum (TT.MM.JJJJ)";
    case ColumnType::Boolean:
        return "ein Wahrheitswert (Wahr/Falsch)";
    }
    return {};
}

}  // namespace warenkai::standin
