#include "common/text_file.h"

#include <cstdio>
#include <fstream>
#include <random>
#include <system_error>

#include "platform/files.h"

namespace warenkai {
namespace fs = std::filesystem;

void ResetFileAttributes(const fs::path& file) noexcept {
    ClearReadOnly(file);
}
void RemoveFileForced(const fs::path& file) noexcept {
    ResetFileAttributes(file);
    std::error_code ec;
    if (fs::is_regular_file(fs::symlink_status(file, ec)) || fs::is_symlink(fs::symlink_status(file, ec))) {
        fs::remove(file, ec);
    }
}

std::optional<std::string> ReadWholeFile(const fs::path& file, std::size_t maxBytes) noexcept {
    try {
        std::error_code ec;
        if (!fs::is_regular_file(file, ec)) {
            return std::nullopt;
        }
        const auto size = fs::file_size(file, ec);
        if (ec || size > maxBytes) {
            return std::nullopt;
        }
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            return std::nullopt;
        }
        std::string bytes(static_cast<std::size_t>(size), '\0');
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        bytes.resize(static_cast<std::size_t>(in.gcount()));
        if (in.bad()) {
            return std::nullopt;
        }
        return bytes;
    } catch (...) {
        return std::nullopt;
    }
}

bool WriteFileAtomically(const fs::path& file, std::string_view bytes, FileAccess access) noexcept {
    try {
        std::random_device random;
        fs::path name(".");
        name += file.filename();
        name += "." + std::to_string(random()) + ".tmp";
        const fs::path temporary = file.parent_path() / name;
        std::FILE* out = OpenFileForWriting(temporary, OpenForWriting::CreateNew, access);
        if (out == nullptr) {
            return false;
        }
        bool ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
        ok = FlushFileToDisk(out) && ok;
        ok = std::fclose(out) == 0 && ok;
        ok = ok && PutFileInPlace(temporary, file);
        if (!ok) {
            std::error_code ec;
            fs::remove(temporary, ec);
        }
        return ok;
    } catch (...) {
        return false;
    }
}

}  // namespace warenkai
