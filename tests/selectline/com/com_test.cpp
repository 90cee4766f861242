// The COM layer against a fake "XFakt.App": what the server's VARIANTs become, the calls as the
// server gets them and its answers as the program gets them, how its failures reach the program, with
// the fake in this process and as a server process of its own. That a server error ends a transfer
// with its message is tested with the transfers.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "selectline/com/com_selectline.h"
#include "selectline/com/com_variant.h"
#include "selectline/selectline_application.h"
#include "tests/selectline/com/fake_xfakt_server.h"

namespace warenkai::test {
namespace {

using namespace ::testing;

// A VARIANT of `type` whose value (a number, a BSTR or a pointer for VT_BYREF) is `payload`.
template <typename Payload>
VARIANT Of(VARTYPE type, Payload payload) {
    static_assert(sizeof(Payload) <= sizeof(LONGLONG));
    VARIANT value{};
    std::memcpy(&V_I8(&value), &payload, sizeof payload);
    V_VT(&value) = type;
    return value;
}

VARIANT OfDecimal(double number) {
    VARIANT value{};
    VarDecFromR8(number, &V_DECIMAL(&value));
    V_VT(&value) = VT_DECIMAL;  // shares its place with DECIMAL's first field, so set last
    return value;
}

// Every kind of value a server may hand over, converted without the regional settings.
TEST(FromComVariant, EveryKind) {
    static LONG number = 42;
    static BSTR name = SysAllocString(L"Müller");
    static VARIANT date = Of(VT_DATE, DATE{2.0});
    std::pair<VARIANT, Variant> cases[] = {
        {Of(VT_BSTR, SysAllocString(L"Gießkanne 10 €")), Variant("Gießkanne 10 €")}, {Of(VT_BSTR, BSTR{}), Variant("")},
        {Of(VT_I1, CHAR{-5}), Variant(-5)}, {Of(VT_I2, SHORT{-30000}), Variant(-30000)},
        {Of(VT_I4, LONG{123456}), Variant(123456)}, {Of(VT_INT, INT{-7}), Variant(-7)},
        {Of(VT_I8, LONGLONG{-5000000000}), Variant(std::int64_t{-5000000000})}, {Of(VT_UI1, BYTE{200}), Variant(200)},
        {Of(VT_UI2, USHORT{60000}), Variant(60000)}, {Of(VT_UI4, ULONG{4000000000}), Variant(std::int64_t{4000000000})},
        {Of(VT_UINT, UINT{3000000000}), Variant(std::int64_t{3000000000})},
        {Of(VT_UI8, ULONGLONG{9000000000}), Variant(std::int64_t{9000000000})},
        {Of(VT_R4, FLOAT{19.9f}), Variant(19.9)},  // the number it shows, not 19.899999618530273
        {Of(VT_R8, DOUBLE{0.1 + 0.2}), Variant(0.1 + 0.2)}, {Of(VT_CY, LONGLONG{-15000}), Variant(-1.5)},
        {OfDecimal(19.99), Variant(19.99)}, {OfDecimal(-0.125), Variant(-0.125)},
        {Of(VT_DATE, DATE{45717.75}), Variant(Date{2025, 3, 1})},  // the time of day left out
        {Of(VT_DATE, DATE{-1.0}), Variant(Date{1899, 12, 29})}, {Of(VT_BOOL, VARIANT_TRUE), Variant(true)},
        {Of(VT_BOOL, VARIANT_FALSE), Variant(false)}, {Of(VT_EMPTY, 0), Variant()}, {Of(VT_NULL, 0), Variant()},
        {Of(VT_I4 | VT_BYREF, &number), Variant(42)}, {Of(VT_BSTR | VT_BYREF, &name), Variant("Müller")},
        {Of(VT_VARIANT | VT_BYREF, &date), Variant(Date{1900, 1, 1})}};
    for (auto& [value, converted] : cases) {
        EXPECT_EQ(com::FromComVariant(value), converted) << "VARTYPE " << V_VT(&value);
        VariantClear(&value);
    }
    for (const VARTYPE type : {VARTYPE{VT_DISPATCH}, VARTYPE{VT_ERROR}, VARTYPE{VT_ARRAY | VT_I4}}) {
        EXPECT_THROW(com::FromComVariant(Of(type, nullptr)), SelectlineError) << type;
    }
}

// The fake registered in this process. Every test leaves COM on its thread as it found it: after the
// test's own CoUninitialize the thread can become a multithreaded apartment, which a CoInitializeEx
// left over in the COM layer would refuse.
class ComSelectlineTest : public ::testing::Test {
protected:
    ~ComSelectlineTest() override {
        registration.reset();
        CoUninitialize();
        EXPECT_EQ(server->liveObjects, 0) << "objects of the server not released";
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        CoUninitialize();
    }

    const HRESULT entered = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::shared_ptr<FakeXFakt> server = std::make_shared<FakeXFakt>();
    std::unique_ptr<FakeXFaktRegistration> registration = std::make_unique<FakeXFaktRegistration>(server);
};

// Texts go as BSTR, the integers of getMandant and of a position's Save as VT_I4, quantities and
// unit prices as VT_R8, all in Selectline's order; counts, values and found keys come back.
TEST_F(ComSelectlineTest, CallsArriveInOrderWithTheirArgumentsAndTheAnswersComeBack) {
    server->tables["AR"] = {{"Artikelnummer"}, {{{"Artikelnummer", "1"}, {"Listenpreis", 49.9}}, {{"Artikelnummer", "2"}}}};
    const auto application = MakeComSelectline()();
    EXPECT_TRUE(application->ApplicationReady());
    application->login("", "");
    application->getMandant("", 1);
    EXPECT_EQ(application->Listenpreis("1"), Variant(49.9));
    const auto articles = application->CreateTable("AR");
    EXPECT_EQ(articles->Recordcount(), 2);
    articles->Next();
    EXPECT_EQ(articles->GetField("Artikelnummer"), Variant("2"));
    articles->First();
    EXPECT_TRUE(!articles->FindKey("9999") && articles->FindKey2("1", "A") && articles->FindKey3("1", "G", "1"));
    articles->Insert();
    articles->PutField("Bezeichnung", "Ä");
    articles->Post();
    const auto document = application->NeuerBelegAuto("B", "");
    document->SetAdresse("10023");
    document->PutField("FreierText1", "7");
    const auto line = document->CreatePos("A");
    line->SetArtikel("4711");
    line->SetEingabeMenge(2);
    line->SetEinzelpreis(19.9);
    line->SetSteuerProzent("19,00");
    line->SetBezeichnung("Spaten");
    line->SetGesamtpreis("39,80");
    line->Save(1);
    document->Save();
    EXPECT_EQ(server->calls,
              (std::vector<std::string>{
                  "App.ApplicationReady()", R"(App.login("", ""))", R"(App.getMandant("", i4 1))",
                  R"(App.Listenpreis("1"))", R"(App.CreateTable("AR"))", "AR.Recordcount()", "AR.Next()",
                  R"(AR.GetField("Artikelnummer"))", "AR.First()", R"(AR.FindKey("9999"))",
                  R"(AR.FindKey2("1", "A"))", R"(AR.FindKey3("1", "G", "1"))", "AR.Insert()",
                  R"(AR.PutField("Bezeichnung", "Ä"))", "AR.Post()", R"(App.NeuerBelegAuto("B", ""))",
                  R"(Beleg.SetAdresse("10023"))", R"(Beleg.PutField("FreierText1", "7"))", R"(Beleg.CreatePos("A"))",
                  R"(Pos.SetArtikel("4711"))", "Pos.SetEingabeMenge(r8 2)", "Pos.SetEinzelpreis(r8 19,9)",
                  R"(Pos.SetSteuerProzent("19,00"))", R"(Pos.SetBezeichnung("Spaten"))",
                  R"(Pos.SetGesamtpreis("39,80"))", "Pos.Save(i4 1)", "Beleg.Save()"}));
}

// A server's exception gives its own text, at once or filled in later; a failed call or an unknown
// member names the member and the code; a table code the server has no table for gives no object;
// without the server registered, the program names it.
TEST_F(ComSelectlineTest, FailuresBecomeSelectlineErrorsWithTheirText) {
    const std::string failed = "Fehler beim Aufruf von \"getMandant\" in Selectline: ";
    const auto noTable = [](SelectlineApplication& application) { application.CreateTable("XX"); };
    const std::tuple<FakeFailure, std::function<void(SelectlineApplication&)>, Matcher<std::string>> cases[] = {
        {{DISP_E_EXCEPTION, "Mandant gesperrt", false}, {}, StrEq("Mandant gesperrt")},
        {{DISP_E_EXCEPTION, "Mandant gesperrt", true}, {}, StrEq("Mandant gesperrt")},
        {{E_ACCESSDENIED, "", false}, {}, AllOf(StartsWith(failed), EndsWith(" (0x80070005)"))},
        {{DISP_E_UNKNOWNNAME, "", false}, {}, AllOf(StartsWith(failed), EndsWith(" (0x80020006)"))},
        {{S_OK, "", false}, noTable, StrEq("Selectline hat bei \"CreateTable\" kein Objekt geliefert")}};
    for (const auto& [failure, call, text] : cases) {
        server->failures = {{"App.getMandant", failure}};
        const auto application = MakeComSelectline()();
        EXPECT_THAT([&] { call ? call(*application) : application->getMandant("", 1); },
                    ThrowsMessage<SelectlineError>(text));
    }
    registration.reset();
    EXPECT_THAT([] { MakeComSelectline()(); },
                ThrowsMessage<SelectlineError>(StrEq(
                    "Selectline ist nicht installiert: der Automatisierungsserver \"XFakt.App\" ist nicht registriert")));
}

// The fake as a process of its own (fake_xfakt_local_server.exe beside this program), whose process
// ends in its second "AR.Next": that call fails at once with a message naming it, never waits.
TEST_F(ComSelectlineTest, AServerProcessThatEndsMidWalkFailsTheCallAtOnce) {
    registration.reset();
    wchar_t buffer[MAX_PATH];
    const std::wstring thisProgram(buffer, GetModuleFileNameW(nullptr, buffer, MAX_PATH));
    const FakeXFaktRegistryEntries entries(L"\"" + thisProgram.substr(0, thisProgram.find_last_of(L'\\')) +
                                           L"\\fake_xfakt_local_server.exe\"");
    const auto articles = MakeComSelectline()()->CreateTable("AR");
    articles->Next();
    EXPECT_EQ(articles->GetField("Artikelnummer"), Variant("2"));
    // The call fails (RPC_S_CALL_FAILED under wine), or the apartment has already seen the server go
    // (RPC_E_DISCONNECTED, RPC_S_SERVER_UNAVAILABLE).
    EXPECT_THAT([&] { articles->Next(); },
                ThrowsMessage<SelectlineError>(
                    AllOf(StartsWith("Fehler beim Aufruf von \"Next\" in Selectline: "),
                          AnyOf(EndsWith(" (0x800706BE)"), EndsWith(" (0x80010108)"), EndsWith(" (0x800706BA)")))));
}

}  // namespace
}  // namespace warenkai::test
