#include "pictures/picture_list.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "common/utf8_path.h"

namespace warenkai {
namespace {

namespace fs = std::filesystem;

// `name` with ASCII capitals and the two-byte UTF-8 capitals U+00C0 to U+00DE (but ×) in small
// letters.
std::string FoldCase(const std::string& name) {
    std::string folded = name;
    for (std::size_t i = 0; i < folded.size(); ++i) {
        const auto byte = static_cast<unsigned char>(folded[i]);
        if (byte >= 'A' && byte <= 'Z') {
            folded[i] = static_cast<char>(byte + ('a' - 'A'));
        } else if (byte == 0xC3 && i + 1 < folded.size()) {
            const auto next = static_cast<unsigned char>(folded[i + 1]);
            if (next >= 0x80 && next <= 0x9E && next != 0x97) {
                folded[i + 1] = static_cast<char>(next + 0x20);
            }
            ++i;
        }
    }
    return folded;
}

}  // namespace

bool PictureNameLess(const std::string& left, const std::string& right) {
    const std::string foldedLeft = FoldCase(left);
    const std::string foldedRight = FoldCase(right);
    if (foldedLeft != foldedRight) {
        return foldedLeft < foldedRight;
    }
    return left < right;
}

std::optional<std::vector<std::string>> ListPictureFiles(const std::string& folder) {
    std::error_code error;
    const fs::path path = PathFromUtf8(folder);
    if (!fs::is_directory(path, error)) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    fs::directory_iterator entry(path, error);
    if (error) {
        return std::nullopt;
    }
    for (; entry != fs::directory_iterator(); entry.increment(error)) {
        if (error) {
            return std::nullopt;
        }
        std::string name = PathToUtf8(entry->path().filename());
        std::error_code typeError;
        if (name.starts_with(".") || !entry->is_regular_file(typeError)) {
            continue;
        }
        names.push_back(std::move(name));
    }
    if (error) {
        return std::nullopt;
    }
    std::sort(names.begin(), names.end(), PictureNameLess);
    return names;
}

}  // namespace warenkai
