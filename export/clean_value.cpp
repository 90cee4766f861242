#include "export/clean_value.h"

namespace warenkai {

void AppendCleanValue(std::string& out, std::string_view text) {
    // Trimming comes first, so a value that ended with a line break ends with a blank.
    std::string_view rest = TrimBlanks(text);
    while (!rest.empty()) {
        const auto special = rest.find_first_of("\"'\r\n");
        out.append(rest.substr(0, special));
        if (special == std::string_view::npos) {
            break;
        }
        switch (rest[special]) {
            case '"':
            case '\'':
                out += kAcuteAccent;
                break;
            case '\r':
                out += ' ';
                break;
            default:  // line feed: removed
                break;
        }
        rest.remove_prefix(special + 1);
    }
}

std::string CleanValue(std::string_view text) {
    std::string cleaned;
    cleaned.reserve(text.size());
    AppendCleanValue(cleaned, text);
    return cleaned;
}

std::string CleanGroupValue(std::string_view text) {
    // The replacements cannot create or remove blanks, so trimming first gives the same result.
    std::string cleaned;
    cleaned.reserve(text.size());
    for (const char c : TrimBlanks(text)) {
        if (c == '"' || c == '\'') {
            cleaned += kAcuteAccent;
        } else {
            cleaned += c;
        }
    }
    return cleaned;
}

}  // namespace warenkai
