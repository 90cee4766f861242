#include "platform/files.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <string>
#include <utility>

#include "platform/windows/wide_text.h"

namespace warenkai {
namespace fs = std::filesystem;

void ClearReadOnly(const fs::path& file) noexcept {
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        return;
    }
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        ::SetFileAttributesW(file.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    }
}

std::FILE* OpenFileForWriting(const fs::path& file, OpenForWriting mode, FileAccess) noexcept {
    // The link itself is opened, never its target; a file that turns out to be one is refused.
    const DWORD disposition = mode == OpenForWriting::CreateNew ? CREATE_NEW : OPEN_ALWAYS;
    HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(handle, &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 || !::SetEndOfFile(handle)) {
        ::CloseHandle(handle);
        return nullptr;
    }
    const int fd = ::_open_osfhandle(reinterpret_cast<std::intptr_t>(handle), _O_WRONLY | _O_BINARY);
    if (fd < 0) {
        ::CloseHandle(handle);
        return nullptr;
    }
    std::FILE* stream = ::_fdopen(fd, "wb");
    if (stream == nullptr) {
        ::_close(fd);
    }
    return stream;
}

std::FILE* OpenFileForReading(const fs::path& file) noexcept {
    return ::_wfopen(file.c_str(), L"rb");
}

bool FlushFileToDisk(std::FILE* file) noexcept {
    return std::fflush(file) == 0 && ::_commit(::_fileno(file)) == 0;
}

bool PutFileInPlace(const fs::path& source, const fs::path& target) noexcept {
    ClearReadOnly(target);
    return ::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

FileLock::Result FileLock::TryLock(const fs::path& file, std::string& reason) noexcept {
    Release();
    // Not inherited by programs the process starts; others may read the file and see the holder.
    HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        reason = SystemMessage(::GetLastError());
        return Result::CannotOpen;
    }
    OVERLAPPED whole{};
    if (!::LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole)) {
        const DWORD error = ::GetLastError();
        ::CloseHandle(handle);
        if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING) {
            return Result::Busy;
        }
        reason = SystemMessage(error);
        return Result::CannotLock;
    }
    // The holder's process number, for a person who looks into the file; nobody reads it back.
    const std::string text = std::to_string(::GetCurrentProcessId()) + "\r\n";
    DWORD written = 0;
    if (::SetFilePointer(handle, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER && ::SetEndOfFile(handle)) {
        ::WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
    m_handle = reinterpret_cast<std::intptr_t>(handle);
    return Result::Held;
}

void FileLock::Release() noexcept {
    if (m_handle != kNone) {
        // Closing the handle drops the lock.
        ::CloseHandle(reinterpret_cast<HANDLE>(m_handle));
        m_handle = kNone;
    }
}

fs::path RunningProgramFile() noexcept {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return fs::path(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace warenkai
