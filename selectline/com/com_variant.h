#pragma once

// Conversions between the automation server's values (VARIANT, BSTR, UTF-16) and the program's own
// (Variant, UTF-8 text).

#include <string>
#include <string_view>

// windows.h comes first: oleauto.h needs its types.
#include <windows.h>

#include <oleauto.h>

#include "selectline/variant.h"

namespace warenkai::com {

// UTF-8 to UTF-16 and back; an invalid sequence becomes U+FFFD.
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

// The value of a result of the automation server, converted without the system's regional settings
// (they would give "1.3.2025" for a date under some systems):
// - VT_EMPTY, VT_NULL: empty;
// - VT_BSTR: text (UTF-8);
// - VT_I1 … VT_I8, VT_UI1 … VT_UI8, VT_INT, VT_UINT: whole number (a VT_UI8 above the range of a
//   whole number becomes a floating number);
// - VT_R4: the floating number the single-precision value shows (19.9f -> 19.9); VT_R8, VT_CY and
//   VT_DECIMAL: floating number;
// - VT_DATE: the date (the time of day is dropped);
// - VT_BOOL: truth value;
// - VT_BYREF of any of these: the value it refers to.
// Throws SelectlineError for what carries no such value (objects, arrays, error codes).
Variant FromComVariant(const VARIANT& value);

}  // namespace warenkai::com
