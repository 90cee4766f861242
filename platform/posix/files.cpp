#include "platform/files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace warenkai {
namespace fs = std::filesystem;

void ClearReadOnly(const fs::path& file) noexcept {
    std::error_code ec;
    if (fs::is_regular_file(fs::symlink_status(file, ec))) {
        fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, ec);
    }
}

std::FILE* OpenFileForWriting(const fs::path& file, OpenForWriting mode, FileAccess access) noexcept {
    const int how = mode == OpenForWriting::CreateNew ? O_CREAT | O_EXCL : O_CREAT | O_TRUNC;
    const mode_t permissions = access == FileAccess::OwnerOnly ? 0600 : 0644;
    int fd = -1;
    do {
        fd = ::open(file.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC | how, permissions);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* handle = ::fdopen(fd, "wb");
    if (handle == nullptr) {
        ::close(fd);
    }
    return handle;
}

std::FILE* OpenFileForReading(const fs::path& file) noexcept {
    return std::fopen(file.c_str(), "rbe");
}

bool FlushFileToDisk(std::FILE* file) noexcept {
    return std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0;
}

bool PutFileInPlace(const fs::path& source, const fs::path& target) noexcept {
    // rename() replaces a read-only target as well: the permission that counts is the folder's.
    if (std::rename(source.c_str(), target.c_str()) != 0) {
        return false;
    }
    // The new name is on the disk once the folder is.
    const int folder = ::open(target.has_parent_path() ? target.parent_path().c_str() : ".", O_RDONLY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

FileLock::Result FileLock::TryLock(const fs::path& file, std::string& reason) noexcept {
    Release();
    int fd = -1;
    do {
        fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        reason = std::strerror(errno);
        return Result::CannotOpen;
    }
    int locked = -1;
    do {
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK) {
            return Result::Busy;
        }
        reason = std::strerror(error);
        return Result::CannotLock;
    }
    // The holder's process number, for a person who looks into the file; nobody reads it back.
    if (::ftruncate(fd, 0) == 0) {
        const std::string text = std::to_string(::getpid()) + "\n";
        [[maybe_unused]] const ssize_t written = ::pwrite(fd, text.data(), text.size(), 0);
    }
    m_handle = fd;
    return Result::Held;
}

void FileLock::Release() noexcept {
    if (m_handle != kNone) {
        // Closing the last descriptor of the open file drops the flock.
        ::close(static_cast<int>(m_handle));
        m_handle = kNone;
    }
}

fs::path RunningProgramFile() noexcept {
    std::error_code ec;
    fs::path program = fs::read_symlink("/proc/self/exe", ec);
    return !ec && program.is_absolute() ? program : fs::path();
}

}  // namespace warenkai
