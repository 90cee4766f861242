#pragma once

#include <string>
#include <string_view>

namespace warenkai {

// The program keeps text as UTF-8 and writes its text files in Windows-1252, the code page of a
// German Windows system. This is the one codec for every file the program reads or writes.

// UTF-8 to Windows-1252, one byte per character. A character the code page lacks, and every byte
// that is not valid UTF-8, becomes "?".
std::string Utf8ToWindows1252(std::string_view utf8);

// Windows-1252 to UTF-8. The five bytes the code page leaves undefined (81, 8D, 8F, 90, 9D) map to
// the control characters of the same number, as Windows does, so every byte survives a round trip.
std::string Windows1252ToUtf8(std::string_view bytes);

}  // namespace warenkai
