// The COM layer against a fake "XFakt.App": what the server's VARIANTs become, the calls as the
// server gets them and its answers as the program gets them, how its failures reach the program, with
// the fake in this process and as a server process of its own. That a server error ends a transfer
// with its message is tested with the transfers.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <tuple>
#include <utility>

#include "selectline/com/com_selectline.h"
#include "selectline/com/com_variant.h"
#include "selectline/selectline_application.h"
#include "tests/selectline/com/fake_xfakt_server.h"
#include "tests/selectline/selectline_steps.h"

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

// The VARIANTs of com_variants.txt; texts, the exact double of a VT_R8 and a VT_DECIMAL, references,
// and the kinds the program cannot read.
TEST(FromComVariant, EveryKind) {
    const auto lines = DataLines("com_variants.txt");
    for (const std::string& line : lines) {
        char* number = nullptr;
        const auto type = static_cast<VARTYPE>(std::strtol(line.c_str(), &number, 10));
        VARIANT value = Of(type, std::strtoll(number, nullptr, 10));
        const double real = std::strtod(number, nullptr);
        type == VT_R4                      ? void(V_R4(&value) = static_cast<FLOAT>(real))
        : type == VT_R8 || type == VT_DATE ? void(V_R8(&value) = real)
        : type == VT_DECIMAL               ? void((VarDecFromR8(real, &V_DECIMAL(&value)), V_VT(&value) = type))
                                           : void();
        EXPECT_EQ(line.substr(0, line.find(" | ") + 3) + Shown(com::FromComVariant(value)), line);
    }
    EXPECT_EQ(lines.size(), 20u);
    static LONG number = 42;
    static BSTR name = SysAllocString(L"Müller");
    static VARIANT date = Of(VT_DATE, DATE{2.0});
    VARIANT decimal{};
    VarDecFromR8(19.99, &V_DECIMAL(&decimal));
    V_VT(&decimal) = VT_DECIMAL;  // shares its place with DECIMAL's first field, so set last
    std::pair<VARIANT, Variant> cases[] = {
        {Of(VT_BSTR, SysAllocString(L"Gießkanne 10 €")), Variant("Gießkanne 10 €")}, {Of(VT_BSTR, BSTR{}), Variant("")},
        {Of(VT_R8, DOUBLE{0.1 + 0.2}), Variant(0.1 + 0.2)}, {decimal, Variant(19.99)},
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

// The steps of com_steps.txt, each with the calls the server gets.
TEST_F(ComSelectlineTest, CallsArriveInOrderWithTheirArgumentsAndTheAnswersComeBack) {
    server->tables = {"AR"};
    server->answers = {{"App.ApplicationReady()", "b -1"}, {"App.Listenpreis(\"1\")", "r 49.9"},
                       {"AR.Recordcount()", "r 2"}, {"AR.GetField(\"Artikelnummer\")", "t 2"},
                       {"AR.FindKey(\"9999\")", "b 0"}, {"AR.FindKey2(\"1\", \"A\")", "b -1"},
                       {"AR.FindKey3(\"1\", \"G\", \"1\")", "b -1"}};
    std::string received;
    server->onCall = [&received](const std::string& call) { received += (received.empty() ? "" : " ; ") + call; };
    const auto application = MakeComSelectline()();
    SelectlineSteps steps(*application);
    const auto lines = DataLines("com_steps.txt");
    for (const std::string& step : lines) {
        const std::string call = step.substr(0, std::min(step.find(" -> "), step.find(" => ")));
        std::string answer = steps.Answer(call);
        answer = (answer.empty() ? "" : " -> " + answer) + " => " + std::exchange(received, "");
        EXPECT_EQ(call + answer, step);
    }
    EXPECT_EQ(lines.size(), 26u);
}

// A server's exception gives its own text, at once or filled in later; a failed call or an unknown
// member names the member and the code; a table code the server has no table for gives no object;
// without the server registered, the program names it.
TEST_F(ComSelectlineTest, FailuresBecomeSelectlineErrorsWithTheirText) {
    const std::string failed = "Fehler beim Aufruf von \"getMandant\" in Selectline: ";
    const std::tuple<FakeFailure, std::string, Matcher<std::string>> cases[] = {
        {{DISP_E_EXCEPTION, "Mandant gesperrt", false}, "App getMandant |1", StrEq("Mandant gesperrt")},
        {{DISP_E_EXCEPTION, "Mandant gesperrt", true}, "App getMandant |1", StrEq("Mandant gesperrt")},
        {{E_ACCESSDENIED, "", false}, "App getMandant |1", AllOf(StartsWith(failed), EndsWith(" (0x80070005)"))},
        {{DISP_E_UNKNOWNNAME, "", false}, "App getMandant |1", AllOf(StartsWith(failed), EndsWith(" (0x80020006)"))},
        {{S_OK, "", false}, "App CreateTable XX", StrEq("Selectline hat bei \"CreateTable\" kein Objekt geliefert")}};
    for (const auto& [failure, call, text] : cases) {
        server->failures = {{"App.getMandant", failure}};
        EXPECT_THAT(SelectlineSteps(*MakeComSelectline()()).Answer(call), text);
    }
    registration.reset();
    EXPECT_THAT([] { MakeComSelectline()(); },
                ThrowsMessage<SelectlineError>(StrEq(
                    "Selectline ist nicht installiert: der Automatisierungsserver \"XFakt.App\" ist nicht registriert")));
}

// The fake as a process of its own (fake_xfakt_local_server.exe beside this program), whose process
// ends in its second "AR.Next": that call fails at once with a message naming it, never waits. The
// call fails (RPC_S_CALL_FAILED under wine), or the apartment has already seen the server go
// (RPC_E_DISCONNECTED, RPC_S_SERVER_UNAVAILABLE).
TEST_F(ComSelectlineTest, AServerProcessThatEndsMidWalkFailsTheCallAtOnce) {
    registration.reset();
    wchar_t buffer[MAX_PATH];
    const std::wstring thisProgram(buffer, GetModuleFileNameW(nullptr, buffer, MAX_PATH));
    const FakeXFaktRegistration entries(nullptr, L"\"" + thisProgram.substr(0, thisProgram.find_last_of(L'\\')) +
                                           L"\\fake_xfakt_local_server.exe\"");
    const auto application = MakeComSelectline()();
    SelectlineSteps steps(*application);
    EXPECT_EQ(steps.Answer("AR Next"), "");
    EXPECT_EQ(steps.Answer("AR GetField Artikelnummer"), "t 2");
    EXPECT_THAT(steps.Answer("AR Next"),
                AllOf(StartsWith("Fehler beim Aufruf von \"Next\" in Selectline: "),
                      AnyOf(EndsWith(" (0x800706BE)"), EndsWith(" (0x80010108)"), EndsWith(" (0x800706BA)"))));
}

}  // namespace
}  // namespace warenkai::test
