#include "import/two_decimals.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace warenkai {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Adds one to the decimal digits; "99" -> "100".
void Increment(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

}  // namespace

std::optional<std::string> FormatTwoDecimals(std::string_view value) {
    std::size_t pos = 0;
    bool negative = false;
    if (pos < value.size() && (value[pos] == '+' || value[pos] == '-')) {
        negative = value[pos] == '-';
        ++pos;
    }
    std::string integer;
    std::string fraction;
    bool separator = false;
    for (; pos < value.size(); ++pos) {
        const char c = value[pos];
        if (IsDigit(c)) {
            (separator ? fraction : integer) += c;
        } else if ((c == '.' || c == ',') && !separator) {
            separator = true;
        } else {
            return std::nullopt;
        }
    }
    if (integer.empty() && fraction.empty()) {
        return std::nullopt;
    }
    const bool roundUp = fraction.size() > 2 && fraction[2] >= '5';
    fraction.resize(2, '0');
    // Whole number in hundredths: integer digits followed by the two decimals.
    std::string hundredths = integer + fraction;
    if (roundUp) {
        Increment(hundredths);
    }
    const auto firstDigit = hundredths.find_first_not_of('0');
    hundredths.erase(0, std::min(firstDigit, hundredths.size()));
    if (hundredths.size() < 3) {
        hundredths.insert(0, 3 - hundredths.size(), '0');
    }
    const bool zero = firstDigit == std::string::npos;
    std::string text = negative && !zero ? "-" : "";
    text += hundredths.substr(0, hundredths.size() - 2);
    text += ',';
    text += hundredths.substr(hundredths.size() - 2);
    return text;
}

std::optional<double> TwoDecimalsValue(const std::string& text) {
    std::string plain = text;
    for (char& c : plain) {
        if (c == ',') {
            c = '.';
        }
    }
    double number = 0.0;
    const char* first = plain.data();
    const char* last = plain.data() + plain.size();
    const auto [end, error] = std::from_chars(first, last, number);
    if (error != std::errc{} || end != last || !std::isfinite(number)) {
        return std::nullopt;
    }
    return number;
}

}  // namespace warenkai
