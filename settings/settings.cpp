#include "settings/settings.h"

#include <charconv>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "common/text_file.h"
#include "common/trim_blanks.h"
#include "common/windows1252.h"

namespace warenkai {
namespace {

constexpr std::string_view kCrLf = "\r\n";

// The number after a family name: decimal digits only, within [low, high]; -1 otherwise.
int ParseElement(std::string_view digits, int low, int high) {
    int value = 0;
    const auto* end = digits.data() + digits.size();
    const auto [ptr, ec] = std::from_chars(digits.data(), end, value);
    if (digits.empty() || ec != std::errc{} || ptr != end || value < low || value > high) {
        return -1;
    }
    return value;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

void ApplyLine(std::string_view line, Settings& settings) {
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) {
        return;
    }
    const std::string_view key = TrimBlanks(line.substr(0, equals));
    const std::string value = Windows1252ToUtf8(TrimBlanks(line.substr(equals + 1)));
    const int rows = static_cast<int>(settings.mapping.size());

    // No family name begins another, except that "ARTIKEL1", "ARTIKEL2" and "ARTIKEL3" all begin with
    // "ARTIKEL", which is no family of its own; "ARTIKELCHECK" is tested before the numbered ones.
    if (StartsWith(key, "GRUND")) {
        const int element = ParseElement(key.substr(5), 0, kTextFieldCount - 1);
        if (element >= 0) {
            settings.Text(element) = value;
        }
    } else if (StartsWith(key, "ARTIKELCHECK")) {
        settings.onlyShopActive = value == "Ja";
    } else if (StartsWith(key, "DATENCHECK1")) {
        settings.synchronousTransfer = value == "Ja";
    } else if (StartsWith(key, "DATENCHECK2")) {
        settings.passiveMode = value == "Ja";
    } else if (StartsWith(key, "ARTIKEL1") || StartsWith(key, "ARTIKEL2") || StartsWith(key, "ARTIKEL3")) {
        const int column = key[7] - '0';
        const int row = ParseElement(key.substr(8), 1, rows);
        if (row >= 1) {
            MappingCell(settings.mapping[static_cast<std::size_t>(row - 1)], column) = value;
        }
    }
    // "KUNDE1", "KUNDE2", "KUNDECHECK" and every other key: accepted and ignored.
}

}  // namespace

std::string& Settings::Text(int element) {
    switch (element) {
        case 0:
            return ftpServer;
        case 1:
            return ftpUser;
        case 2:
            return ftpPassword;
        case 3:
            return shopRoot;
        case 4:
            return shopLink;
        case 5:
            return pictureFolder;
        default:
            throw std::out_of_range("text field " + std::to_string(element));
    }
}

const std::string& Settings::Text(int element) const {
    return const_cast<Settings*>(this)->Text(element);
}

void ApplySettingsFile(std::string_view bytes, Settings& settings) {
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const auto end = bytes.find_first_of("\r\n", pos);
        const std::string_view line =
            bytes.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
        ApplyLine(line, settings);
        if (end == std::string_view::npos) {
            break;
        }
        // CR LF, LF and CR alone each end one line.
        pos = end + ((bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ? 2 : 1);
    }
}

std::string FormatSettingsFile(const Settings& settings) {
    std::string text;
    text.reserve(4096);
    const auto line = [&](std::string_view key, const std::string& value) {
        text.append(key).append("=").append(Utf8ToWindows1252(value)).append(kCrLf);
    };
    for (int i = 0; i < kTextFieldCount; ++i) {
        line("GRUND" + std::to_string(i), settings.Text(i));
    }
    for (std::size_t r = 0; r < settings.mapping.size(); ++r) {
        const std::string row = std::to_string(r + 1);
        line("ARTIKEL1" + row, settings.mapping[r].selectlineField);
        line("ARTIKEL2" + row, settings.mapping[r].defaultValue);
        line("ARTIKEL3" + row, settings.mapping[r].prefix);
    }
    line("ARTIKELCHECK", settings.onlyShopActive ? "Ja" : "Nein");
    line("DATENCHECK1", settings.synchronousTransfer ? "Ja" : "Nein");
    line("DATENCHECK2", settings.passiveMode ? "Ja" : "Nein");
    return text;
}

void LoadSettings(const std::filesystem::path& file, Settings& settings) {
    // Read in blocks so that a file of any size costs little memory. A line longer than any value a
    // settings file could sensibly hold is skipped as a whole.
    constexpr std::size_t kLongestLine = std::size_t{16} << 20;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        return;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return;
    }
    std::string line;
    bool skipping = false;  // inside a line that grew too long
    bool afterCr = false;   // the previous block ended with CR: a LF opening this block belongs to it
    std::vector<char> block(1 << 16);
    while (in) {
        in.read(block.data(), static_cast<std::streamsize>(block.size()));
        const auto count = static_cast<std::size_t>(in.gcount());
        for (std::size_t i = 0; i < count; ++i) {
            const char c = block[i];
            if (c == '\n' && afterCr) {
                afterCr = false;
                continue;
            }
            afterCr = c == '\r';
            if (c == '\r' || c == '\n') {
                if (!skipping) {
                    ApplySettingsFile(line, settings);
                }
                line.clear();
                skipping = false;
            } else if (!skipping) {
                line += c;
                if (line.size() > kLongestLine) {
                    line.clear();
                    skipping = true;
                }
            }
        }
    }
    if (!skipping) {
        ApplySettingsFile(line, settings);
    }
}

bool SaveSettings(const std::filesystem::path& file, const Settings& settings) {
    try {
        // It holds the FTP password: readable by its owner only.
        return WriteFileAtomically(file, FormatSettingsFile(settings), FileAccess::OwnerOnly);
    } catch (...) {
        return false;
    }
}

}  // namespace warenkai
