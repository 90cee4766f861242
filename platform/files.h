#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>

namespace warenkai {

// File operations whose meaning differs between the systems. None of them throws.

// Lets the file be written and deleted again: clears the read-only attribute (Windows) or gives the
// owner write permission (POSIX). A missing file or a link is left alone.
void ClearReadOnly(const std::filesystem::path& file) noexcept;

enum class OpenForWriting {
    CreateNew,  // fails when something already has the name
    Truncate,   // creates the file, or empties the one there
};

// Who may read a file the program creates. Windows leaves it to the folder's access list.
enum class FileAccess {
    Everyone,   // POSIX 0644
    OwnerOnly,  // POSIX 0600: it holds a password
};

// Opens `file` for writing in binary mode; never writes through a link (or junction) standing in
// its place. nullptr when it cannot be opened.
std::FILE* OpenFileForWriting(const std::filesystem::path& file, OpenForWriting mode,
                              FileAccess access = FileAccess::Everyone) noexcept;

// Opens `file` for reading in binary mode; nullptr when it cannot be opened.
std::FILE* OpenFileForReading(const std::filesystem::path& file) noexcept;

// Flushes what was written to `file` through to the disk.
bool FlushFileToDisk(std::FILE* file) noexcept;

// Puts `source` in place of `target` in one step, replacing a `target` that exists, also a read-only
// one; written through to the disk before it returns. Both lie in the same folder.
bool PutFileInPlace(const std::filesystem::path& source, const std::filesystem::path& target) noexcept;

// An exclusive lock on a file that the system drops when the process ends in any way.
class FileLock {
public:
    enum class Result { Held, Busy, CannotOpen, CannotLock };

    FileLock() = default;
    ~FileLock() { Release(); }
    FileLock(FileLock&& other) noexcept : m_handle(std::exchange(other.m_handle, kNone)) {}
    FileLock& operator=(FileLock&& other) noexcept {
        if (this != &other) {
            Release();
            m_handle = std::exchange(other.m_handle, kNone);
        }
        return *this;
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Opens (creating it when missing) and locks `file` without waiting. When it cannot, `reason`
    // holds the system's text.
    Result TryLock(const std::filesystem::path& file, std::string& reason) noexcept;
    void Release() noexcept;
    bool Held() const noexcept { return m_handle != kNone; }

private:
    static constexpr std::intptr_t kNone = -1;
    std::intptr_t m_handle = kNone;  // a descriptor, or a HANDLE on Windows
};

// The running program file, absolute; empty when the system cannot tell.
std::filesystem::path RunningProgramFile() noexcept;

}  // namespace warenkai
