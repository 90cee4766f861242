#include "import/shop_export_file.h"

#include <system_error>

namespace warenkai {

std::unique_ptr<std::ifstream> OpenShopExportFile(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        return nullptr;
    }
    auto in = std::make_unique<std::ifstream>(file, std::ios::binary);
    if (!*in) {
        return nullptr;
    }
    return in;
}

std::string CleanKeyField(const std::string& value) {
    std::string cleaned;
    cleaned.reserve(value.size());
    for (const char c : value) {
        if (c != '"' && c != '\n') {
            cleaned += c;
        }
    }
    const auto last = cleaned.find_last_not_of(' ');
    cleaned.erase(last == std::string::npos ? 0 : last + 1);
    cleaned.erase(0, cleaned.find_first_not_of(' '));
    return cleaned;
}

}  // namespace warenkai
