#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace warenkai {

// The shop's amounts as Selectline takes them: every "." becomes ",", the value is read as a decimal
// number with "," as the decimal separator and written with at least one integer digit, exactly two
// decimals, "," and no grouping ("7.5" -> "7,50", "19" -> "19,00"). The rounding works on the written
// digits, halves away from zero ("0.125" -> "0,13", "1.005" -> "1,01", "-0.125" -> "-0,13").
// std::nullopt when the value is not a plain decimal number (empty, letters, grouping, exponent).
std::optional<std::string> FormatTwoDecimals(std::string_view value);

// The number a text of FormatTwoDecimals stands for ("7,50" -> 7.5); std::nullopt when it is too
// large for a floating-point number.
std::optional<double> TwoDecimalsValue(const std::string& text);

}  // namespace warenkai
