#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace warenkai {

// Small file helpers with the behaviour the program needs: never throw, report by result.

// Clears a read-only mark (the read-only attribute, or the owner's missing write permission). A
// missing file is no error.
void ResetFileAttributes(const std::filesystem::path& file) noexcept;

// Resets the attributes of `file` and deletes it. Failures (no such file, no permission) are ignored.
void RemoveFileForced(const std::filesystem::path& file) noexcept;

// Reads a whole regular file. std::nullopt when it cannot be opened, is not a regular file, or is
// larger than `maxBytes`.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file,
                                         std::size_t maxBytes = std::size_t{256} << 20) noexcept;

// Writes `bytes` to a temporary file beside `file` and renames it over `file` only when it is
// complete and flushed to disk, so the old file is never lost: on any failure it stays as it was
// and the temporary file is removed. A read-only `file` is replaced. Returns whether it worked.
// `access` says who may read the new file.
bool WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                         FileAccess access = FileAccess::Everyone) noexcept;

}  // namespace warenkai
