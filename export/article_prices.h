#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "selectline/variant.h"

namespace warenkai {

// An amount as the shop wants it: its regional text with every comma replaced by a point; no
// rounding, no fixed number of decimals ("19,9" -> "19.9", "100" -> "100").
std::string DecimalPoint(std::string text);

// "31.12.2024" -> "2024-12-31": the text split at its points, the parts written third, second, first
// with "-" between them; parts after the third are dropped. An empty text gives an empty text.
// std::nullopt when the text does not split into at least three parts.
std::optional<std::string> DateRewrite(std::string_view date);

// An amount of the server as the shop wants it: DecimalPoint of its regional text.
std::string PriceText(const Variant& amount);

// DateRewrite of the regional text of a value of the server.
std::optional<std::string> DateValueRewrite(const Variant& date);

// A date of the automation server: a date value as it is, a text in the regional form
// "31.12.2024"; std::nullopt for anything else.
std::optional<Date> AsDate(const Variant& value);

// A value of the server as SameValue compares it, worked out once.
struct ComparableValue {
    explicit ComparableValue(const Variant& value);

    bool empty = true;
    std::optional<double> number;
    std::string text;
};

// Whether two values of the server are equal as values: numbers (also numeric texts) by number,
// anything else by its text.
bool SameValue(const ComparableValue& a, const ComparableValue& b);
bool SameValue(const Variant& a, const Variant& b);

// "Ja" when both values are present, else empty: the "angebot" and "angebot_handler" fields.
std::string_view OfferFlag(const std::string& from, const std::string& to);

}  // namespace warenkai
