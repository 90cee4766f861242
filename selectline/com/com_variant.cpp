#include "selectline/com/com_variant.h"

#include <charconv>
#include <cstdint>
#include <limits>

#include "selectline/selectline_error.h"

namespace warenkai::com {
namespace {

// The VARIANT a VT_BYREF one refers to, owned for as long as the object lives.
class Dereferenced {
public:
    explicit Dereferenced(const VARIANT& reference) {
        VariantInit(&m_value);
        if (FAILED(VariantCopyInd(&m_value, const_cast<VARIANT*>(&reference)))) {
            throw SelectlineError("Selectline hat einen Verweis auf einen Wert geliefert, der sich nicht lesen lässt");
        }
    }
    ~Dereferenced() { VariantClear(&m_value); }
    Dereferenced(const Dereferenced&) = delete;
    Dereferenced& operator=(const Dereferenced&) = delete;

    const VARIANT& value() const { return m_value; }

private:
    VARIANT m_value;
};

// A single-precision number as the number it shows: its shortest decimal text, read back as double.
double FromSingle(float number) {
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, number);
    double value = number;
    std::from_chars(buffer, written.ptr, value);
    return value;
}

Variant FromUnsigned(std::uint64_t number) {
    if (number > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
        return static_cast<double>(number);
    }
    return static_cast<std::int64_t>(number);
}

Date FromDate(DATE date) {
    SYSTEMTIME time{};
    if (!VariantTimeToSystemTime(date, &time)) {
        throw SelectlineError("Selectline hat ein ungültiges Datum geliefert");
    }
    return Date{time.wYear, time.wMonth, time.wDay};
}

double FromDecimal(const DECIMAL& decimal) {
    double value = 0.0;
    if (FAILED(VarR8FromDec(const_cast<DECIMAL*>(&decimal), &value))) {
        throw SelectlineError("Selectline hat eine Dezimalzahl geliefert, die sich nicht umwandeln lässt");
    }
    return value;
}

}  // namespace

std::wstring WideFromUtf8(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

std::string Utf8FromWide(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    std::string narrow(
        static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr)),
        '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrow.data(), static_cast<int>(narrow.size()), nullptr,
                        nullptr);
    return narrow;
}

Variant FromComVariant(const VARIANT& value) {
    if ((V_VT(&value) & VT_BYREF) != 0) {
        const Dereferenced referenced(value);
        return FromComVariant(referenced.value());
    }
    switch (V_VT(&value)) {
        case VT_EMPTY:
        case VT_NULL:
            return {};
        case VT_BSTR:
            return Utf8FromWide(std::wstring_view(V_BSTR(&value), SysStringLen(V_BSTR(&value))));
        case VT_I1:
            return std::int64_t{static_cast<signed char>(V_I1(&value))};
        case VT_I2:
            return std::int64_t{V_I2(&value)};
        case VT_I4:
            return std::int64_t{V_I4(&value)};
        case VT_INT:
            return std::int64_t{V_INT(&value)};
        case VT_I8:
            return std::int64_t{V_I8(&value)};
        case VT_UI1:
            return std::int64_t{V_UI1(&value)};
        case VT_UI2:
            return std::int64_t{V_UI2(&value)};
        case VT_UI4:
            return std::int64_t{V_UI4(&value)};
        case VT_UINT:
            return std::int64_t{V_UINT(&value)};
        case VT_UI8:
            return FromUnsigned(V_UI8(&value));
        case VT_R4:
            return FromSingle(V_R4(&value));
        case VT_R8:
            return V_R8(&value);
        case VT_CY:
            return static_cast<double>(V_CY(&value).int64) / 10000.0;
        case VT_DECIMAL:
            return FromDecimal(V_DECIMAL(&value));
        case VT_DATE:
            return FromDate(V_DATE(&value));
        case VT_BOOL:
            return V_BOOL(&value) != VARIANT_FALSE;
        default:
            throw SelectlineError("Selectline hat einen Wert geliefert, der sich nicht umwandeln lässt (Variant-Typ " +
                                  std::to_string(V_VT(&value)) + ")");
    }
}

}  // namespace warenkai::com
