#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace warenkai {

// The program's texts are UTF-8. A path is made from such a text only through these, so "ä" or "Ł"
// stays one character on every system (a narrow string would be read in Windows' ANSI code page).
inline std::filesystem::path PathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string PathToUtf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace warenkai
