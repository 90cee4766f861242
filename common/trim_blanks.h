#pragma once

#include <string_view>

namespace warenkai {

// `text` without leading and trailing blanks (space characters only; tabs and line breaks stay).
// The settings file and the article export both trim this way.
inline std::string_view TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

}  // namespace warenkai
