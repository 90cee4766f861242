#include "export/article_prices.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace warenkai {
namespace {

std::optional<int> WholeNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 9) {
        return std::nullopt;
    }
    int number = 0;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (result.ec != std::errc() || result.ptr != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return number;
}

void AppendTwoDigits(std::string& out, int number) {
    out += static_cast<char>('0' + number / 10);
    out += static_cast<char>('0' + number % 10);
}

}  // namespace

std::string DecimalPoint(std::string text) {
    for (char& c : text) {
        if (c == ',') {
            c = '.';
        }
    }
    return text;
}

std::optional<std::string> DateRewrite(std::string_view date) {
    if (date.empty()) {
        return std::string{};
    }
    const auto firstPoint = date.find('.');
    if (firstPoint == std::string_view::npos) {
        return std::nullopt;
    }
    const auto secondPoint = date.find('.', firstPoint + 1);
    if (secondPoint == std::string_view::npos) {
        return std::nullopt;
    }
    const auto thirdPoint = date.find('.', secondPoint + 1);
    const std::string_view day = date.substr(0, firstPoint);
    const std::string_view month = date.substr(firstPoint + 1, secondPoint - firstPoint - 1);
    const std::string_view year = date.substr(
        secondPoint + 1, thirdPoint == std::string_view::npos ? std::string_view::npos : thirdPoint - secondPoint - 1);
    std::string rewritten;
    rewritten.reserve(date.size());
    rewritten.append(year).append("-").append(month).append("-").append(day);
    return rewritten;
}

std::string PriceText(const Variant& amount) {
    // Shortcut for the usual amounts: with 0.1 <= |x| < 1e14 the regional text has the 15
    // significant digits of printf's %.15g in plain notation, so the two agree once the comma is a
    // point. Everything else takes the general way.
    if (const auto* number = std::get_if<double>(&amount.value())) {
        const double magnitude = std::fabs(*number);
        if (magnitude >= 0.1 && magnitude < 1e14) {
            char buffer[32];
            const auto result = std::to_chars(buffer, buffer + sizeof buffer, *number, std::chars_format::general, 15);
            return std::string(buffer, result.ptr);
        }
    }
    return DecimalPoint(amount.ToText());
}

std::optional<std::string> DateValueRewrite(const Variant& date) {
    // A date value's regional text is day.month.year with two, two and four digits; rewritten it is
    // the same numbers the other way round.
    if (const auto* day = std::get_if<Date>(&date.value())) {
        if (day->year >= 0 && day->year <= 9999 && day->month >= 0 && day->month <= 99 && day->day >= 0 &&
            day->day <= 99) {
            std::string text;
            text.reserve(10);
            AppendTwoDigits(text, day->year / 100);
            AppendTwoDigits(text, day->year % 100);
            text += '-';
            AppendTwoDigits(text, day->month);
            text += '-';
            AppendTwoDigits(text, day->day);
            return text;
        }
    }
    return DateRewrite(date.ToText());
}

std::optional<Date> AsDate(const Variant& value) {
    if (const auto* date = std::get_if<Date>(&value.value())) {
        return *date;
    }
    const auto* text = std::get_if<std::string>(&value.value());
    if (text == nullptr) {
        return std::nullopt;
    }
    // "31.12.2024", possibly followed by a time of day.
    std::string_view rest(*text);
    rest = rest.substr(0, rest.find(' '));
    const auto firstPoint = rest.find('.');
    const auto secondPoint = firstPoint == std::string_view::npos ? firstPoint : rest.find('.', firstPoint + 1);
    if (secondPoint == std::string_view::npos) {
        return std::nullopt;
    }
    const auto day = WholeNumber(rest.substr(0, firstPoint));
    const auto month = WholeNumber(rest.substr(firstPoint + 1, secondPoint - firstPoint - 1));
    const auto year = WholeNumber(rest.substr(secondPoint + 1));
    if (!day || !month || !year || *month < 1 || *month > 12 || *day < 1 || *day > 31) {
        return std::nullopt;
    }
    return Date{*year, *month, *day};
}

ComparableValue::ComparableValue(const Variant& value)
    : empty(value.IsEmpty()), number(value.ToNumber()), text(value.ToText()) {}

bool SameValue(const ComparableValue& a, const ComparableValue& b) {
    if (!a.empty && !b.empty && a.number && b.number) {
        return *a.number == *b.number;
    }
    return a.text == b.text;
}

bool SameValue(const Variant& a, const Variant& b) {
    return SameValue(ComparableValue(a), ComparableValue(b));
}

std::string_view OfferFlag(const std::string& from, const std::string& to) {
    return !from.empty() && !to.empty() ? std::string_view("Ja") : std::string_view();
}

}  // namespace warenkai
