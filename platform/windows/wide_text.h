#pragma once

#include <string>
#include <string_view>

namespace warenkai {

// UTF-8 to the UTF-16 of the Windows API and back.
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

// The system's message for an error code, in UTF-8, without the line end.
std::string SystemMessage(unsigned long code);

}  // namespace warenkai
