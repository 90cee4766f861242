#include "common/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <random>
#include <system_error>

namespace warenkai {
namespace fs = std::filesystem;

void ResetFileAttributes(const fs::path& file) noexcept {
    std::error_code ec;
    const auto status = fs::symlink_status(file, ec);
    if (ec || !fs::is_regular_file(status)) {
        return;
    }
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, ec);
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

bool WriteFileAtomically(const fs::path& file, std::string_view bytes) noexcept {
    try {
        std::random_device random;
        std::string name = ".";
        name.append(file.filename().string()).append(".").append(std::to_string(random())).append(".tmp");
        const fs::path temporary = file.parent_path() / name;
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            return false;
        }
        bool ok = true;
        std::size_t written = 0;
        while (ok && written < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            ok = n > 0;
            if (ok) {
                written += static_cast<std::size_t>(n);
            }
        }
        ok = ok && ::fsync(fd) == 0;
        ok = (::close(fd) == 0) && ok;
        if (ok) {
            // rename() replaces a read-only target as well: the permission that counts is the folder's.
            ok = std::rename(temporary.c_str(), file.c_str()) == 0;
        }
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
