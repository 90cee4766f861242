#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "selectline/com/com_variant.h"
#include "selectline/selectline_error.h"

namespace warenkai::test {
namespace {

using com::FromComVariant;

// A VARIANT of `type` whose value (a number, a BSTR or a pointer for VT_BYREF) is `payload`.
template <typename Payload>
VARIANT Of(VARTYPE type, Payload payload) {
    static_assert(sizeof(Payload) <= sizeof(LONGLONG));
    VARIANT value;
    VariantInit(&value);
    V_VT(&value) = type;
    std::memcpy(&V_I8(&value), &payload, sizeof payload);
    return value;
}

VARIANT OfDecimal(ULONGLONG digits, BYTE scale, BYTE sign) {
    VARIANT value;
    DECIMAL decimal{};
    decimal.Lo64 = digits;
    decimal.scale = scale;
    decimal.sign = sign;
    V_DECIMAL(&value) = decimal;
    V_VT(&value) = VT_DECIMAL;  // shares its place with DECIMAL's first field, so set last
    return value;
}

struct Conversion {
    const char* name;
    VARIANT value;
    Variant converted;
    const char* text;
};

std::vector<Conversion> Conversions() {
    static LONG number = 42;
    static BSTR name = SysAllocString(L"Müller");
    static VARIANT date = Of(VT_DATE, DATE{2.0});
    return {
        {"BSTR", Of(VT_BSTR, SysAllocString(L"Gießkanne 10 €")), Variant("Gießkanne 10 €"), "Gießkanne 10 €"},
        {"null BSTR", Of(VT_BSTR, BSTR{nullptr}), Variant(""), ""},
        {"I1", Of(VT_I1, CHAR{-5}), Variant(-5), "-5"},
        {"I2", Of(VT_I2, SHORT{-30000}), Variant(-30000), "-30000"},
        {"I4", Of(VT_I4, LONG{123456}), Variant(123456), "123456"},
        {"INT", Of(VT_INT, INT{-7}), Variant(-7), "-7"},
        {"I8", Of(VT_I8, LONGLONG{-5000000000}), Variant(std::int64_t{-5000000000}), "-5000000000"},
        {"UI1", Of(VT_UI1, BYTE{200}), Variant(200), "200"},
        {"UI2", Of(VT_UI2, USHORT{60000}), Variant(60000), "60000"},
        {"UI4", Of(VT_UI4, ULONG{4000000000}), Variant(std::int64_t{4000000000}), "4000000000"},
        {"UINT", Of(VT_UINT, UINT{3000000000}), Variant(std::int64_t{3000000000}), "3000000000"},
        {"UI8", Of(VT_UI8, ULONGLONG{9000000000}), Variant(std::int64_t{9000000000}), "9000000000"},
        {"R4", Of(VT_R4, FLOAT{19.9f}), Variant(19.9), "19,9"},
        {"R8", Of(VT_R8, DOUBLE{0.1 + 0.2}), Variant(0.1 + 0.2), "0,3"},
        {"CY", Of(VT_CY, LONGLONG{199900}), Variant(19.99), "19,99"},
        {"negative CY", Of(VT_CY, LONGLONG{-15000}), Variant(-1.5), "-1,5"},
        {"DECIMAL", OfDecimal(1999, 2, 0), Variant(19.99), "19,99"},
        {"negative DECIMAL", OfDecimal(125, 3, DECIMAL_NEG), Variant(-0.125), "-0,125"},
        {"DATE", Of(VT_DATE, DATE{45717.0}), Variant(Date{2025, 3, 1}), "01.03.2025"},
        {"DATE with time", Of(VT_DATE, DATE{45717.75}), Variant(Date{2025, 3, 1}), "01.03.2025"},
        {"DATE before 1900", Of(VT_DATE, DATE{-1.0}), Variant(Date{1899, 12, 29}), "29.12.1899"},
        {"BOOL true", Of(VT_BOOL, VARIANT_BOOL{VARIANT_TRUE}), Variant(true), "Wahr"},
        {"BOOL false", Of(VT_BOOL, VARIANT_BOOL{VARIANT_FALSE}), Variant(false), "Falsch"},
        {"EMPTY", Of(VT_EMPTY, 0), Variant(), ""},
        {"NULL", Of(VT_NULL, 0), Variant(), ""},
        {"BYREF I4", Of(VT_I4 | VT_BYREF, &number), Variant(42), "42"},
        {"BYREF BSTR", Of(VT_BSTR | VT_BYREF, &name), Variant("Müller"), "Müller"},
        {"BYREF VARIANT holding a DATE", Of(VT_VARIANT | VT_BYREF, &date), Variant(Date{1900, 1, 1}), "01.01.1900"},
    };
}

TEST(FromComVariantTest, ConvertsEachKindWithoutRegionalSettings) {
    for (auto& conversion : Conversions()) {
        SCOPED_TRACE(conversion.name);
        const Variant converted = FromComVariant(conversion.value);
        EXPECT_EQ(converted, conversion.converted);
        EXPECT_EQ(converted.ToText(), conversion.text);
        VariantClear(&conversion.value);
    }
}

TEST(FromComVariantTest, KindsWithoutAValueAreServerErrors) {
    for (const VARTYPE type : {VARTYPE{VT_DISPATCH}, VARTYPE{VT_ERROR}, VARTYPE{VT_ARRAY | VT_I4}}) {
        EXPECT_THROW(FromComVariant(Of(type, nullptr)), SelectlineError) << type;
    }
}

}  // namespace
}  // namespace warenkai::test
