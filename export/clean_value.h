#pragma once

#include <string>
#include <string_view>

#include "common/trim_blanks.h"

namespace warenkai {

// The acute accent "´" (U+00B4) in UTF-8: what quotes and apostrophes of a value become, because the
// shop's importer reads fields in double quotes without escaping.
inline constexpr std::string_view kAcuteAccent = "\xC2\xB4";

// Every article value passes through this before it enters a record: blanks around it removed,
// double quotes and apostrophes replaced by "´", each carriage return replaced by one blank, line
// feeds removed. The result never holds a double quote, an apostrophe or a line break.
std::string CleanValue(std::string_view text);
// The same, appended to `out` (the record line is built without temporary texts).
void AppendCleanValue(std::string& out, std::string_view text);

// The cleaning of the group file: double quotes and apostrophes become "´", then blanks around the
// value are removed. Line breaks stay as they are.
std::string CleanGroupValue(std::string_view text);

}  // namespace warenkai
