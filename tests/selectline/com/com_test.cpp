// The COM layer against a fake "XFakt.App": what the server's VARIANTs become, the calls as the
// server gets them, how its failures reach the program, and whole article transfers over COM with the
// fake in this process and as a server process of its own.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "export/article_export.h"
#include "export/article_transfer.h"
#include "export/articles_seen.h"
#include "selectline/com/com_selectline.h"
#include "selectline/com/com_variant.h"
#include "selectline/selectline_session.h"
#include "tests/export/generated_articles.h"
#include "tests/selectline/com/fake_xfakt_server.h"
#include "tests/support/fake_transfer_world.h"

namespace warenkai::test {
namespace {

using ::testing::AnyOf;
using ::testing::EndsWith;
using ::testing::Eq;
using ::testing::StartsWith;
using Strings = std::vector<std::string>;


// A VARIANT of `type` whose value (a number, a BSTR or a pointer for VT_BYREF) is `payload`.
template <typename Payload>
VARIANT Of(VARTYPE type, Payload payload) {
    static_assert(sizeof(Payload) <= sizeof(LONGLONG));
    VARIANT value;
    VariantInit(&value);
    std::memcpy(&V_I8(&value), &payload, sizeof payload);
    V_VT(&value) = type;
    return value;
}

VARIANT OfDecimal(ULONGLONG digits, BYTE scale, BYTE sign) {
    VARIANT value{};
    V_DECIMAL(&value).Lo64 = digits;
    V_DECIMAL(&value).scale = scale;
    V_DECIMAL(&value).sign = sign;
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
        {OfDecimal(1999, 2, 0), Variant(19.99)}, {OfDecimal(125, 3, DECIMAL_NEG), Variant(-0.125)},
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

// The text of the SelectlineError that `action` throws; "(kein Fehler)" when it throws none.
std::string ErrorText(const std::function<void()>& action) {
    try {
        action();
    } catch (const SelectlineError& error) {
        return error.what();
    }
    return "(kein Fehler)";
}

// Every test leaves COM on its thread as it found it: after the test's own CoUninitialize the thread
// can become a multithreaded apartment, which a leftover CoInitializeEx would refuse.
void ExpectComLeft() {
    const HRESULT again = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    EXPECT_EQ(again, S_OK);
    if (SUCCEEDED(again)) {
        CoUninitialize();
    }
}

class ComSelectlineTest : public ::testing::Test {
protected:
    ComSelectlineTest() {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        server->tables["AP"] = {{"Artikelnummer", "Preisart", "Preisnummer"}, {}};
        registration = std::make_unique<FakeXFaktRegistration>(server);
    }
    ~ComSelectlineTest() override {
        registration.reset();
        CoUninitialize();
        EXPECT_EQ(server->liveObjects, 0) << "objects of the server not released";
        ExpectComLeft();
    }

    std::shared_ptr<FakeXFakt> server = std::make_shared<FakeXFakt>();
    std::unique_ptr<FakeXFaktRegistration> registration;
};

// Texts go as BSTR, the integers of getMandant and of a position's Save as VT_I4, quantities and
// unit prices as VT_R8, all in Selectline's order.
TEST_F(ComSelectlineTest, CallsArriveInOrderWithTheirArguments) {
    const auto application = MakeComSelectline()();
    application->login("", "");
    application->getMandant("", 1);
    const auto prices = application->CreateTable("AP");
    prices->Insert();
    prices->PutField("Artikelnummer", "4711");
    prices->PutField("Preisart", "Ä");
    prices->Post();
    prices->FindKey2("4711", "A");
    prices->FindKey3("4711", "G", "1");
    const auto document = application->NeuerBelegAuto("B", "");
    document->SetAdresse("10023");
    const auto line = document->CreatePos("A");
    line->SetArtikel("4711");
    line->SetEingabeMenge(2);
    line->SetEinzelpreis(19.9);
    line->SetSteuerProzent("19,00");
    line->SetBezeichnung("Spaten");
    line->SetGesamtpreis("39,80");
    line->Save(1);
    document->Save();
    const Strings calls = {R"(App.login("", ""))", R"(App.getMandant("", i4 1))", R"(App.CreateTable("AP"))",
                           "AP.Insert()", R"(AP.PutField("Artikelnummer", "4711"))", R"(AP.PutField("Preisart", "Ä"))",
                           "AP.Post()", R"(AP.FindKey2("4711", "A"))",
                           R"(AP.FindKey3("4711", "G", "1"))", R"(App.NeuerBelegAuto("B", ""))",
                           R"(Beleg.SetAdresse("10023"))", R"(Beleg.CreatePos("A"))", R"(Pos.SetArtikel("4711"))",
                           "Pos.SetEingabeMenge(r8 2)", "Pos.SetEinzelpreis(r8 19.9)",
                           R"(Pos.SetSteuerProzent("19,00"))", R"(Pos.SetBezeichnung("Spaten"))",
                           R"(Pos.SetGesamtpreis("39,80"))", "Pos.Save(i4 1)", "Beleg.Save()"};
    EXPECT_EQ(server->calls, calls);
}

// A server's exception gives its own text, at once or filled in later; a failed call or an unknown
// member names the member and the code; a table code the server has no table for gives no object.
TEST_F(ComSelectlineTest, FailuresBecomeSelectlineErrorsWithTheirText) {
    const auto failedCall = [](const char* code) {
        return ::testing::AllOf(StartsWith("Fehler beim Aufruf von \"getMandant\" in Selectline: "), EndsWith(code));
    };
    using Call = std::function<void(SelectlineApplication&)>;
    const std::tuple<FakeFailure, Call, ::testing::Matcher<std::string>> cases[] = {
        {{DISP_E_EXCEPTION, "Mandant gesperrt", false}, {}, Eq("Mandant gesperrt")},
        {{DISP_E_EXCEPTION, "Mandant gesperrt", true}, {}, Eq("Mandant gesperrt")},
        {{E_ACCESSDENIED, "", false}, {}, failedCall(" (0x80070005)")},
        {{DISP_E_UNKNOWNNAME, "", false}, {}, failedCall(" (0x80020006)")},
        {{S_OK, "", false}, [](SelectlineApplication& application) { application.CreateTable("XX"); },
         Eq("Selectline hat bei \"CreateTable\" kein Objekt geliefert")}};
    for (const auto& [failure, call, text] : cases) {
        server->failures = {{"App.getMandant", failure}};
        const auto application = MakeComSelectline()();
        EXPECT_THAT(ErrorText([&] { call ? call(*application) : application->getMandant("", 1); }), text);
    }
}

TEST(ComSelectlineUnregisteredTest, NamesTheMissingServer) {
    EXPECT_EQ(ErrorText([] { MakeComSelectline()(); }),
              "Selectline ist nicht installiert: der Automatisierungsserver \"XFakt.App\" ist nicht registriert");
    ExpectComLeft();
}

// Every kind of value the server hands over (texts outside Windows-1252, whole and floating numbers,
// dates, truth values, empty fields, list prices) and every look-up by key gives the same article
// file as the same data in memory.
TEST(ComTransfer, ArticleFileIsTheSameAsFromTheSameDataInMemory) {
    FakeTransferWorld world;
    AddGeneratedArticles(*world.database, 46);
    UseGeneratedMapping(world.settings, "repeated");
    auto server = std::make_shared<FakeXFakt>();
    server->recordCalls = false;
    const std::pair<const char*, std::vector<std::string>> keys[] = {
        {"AR", {"Artikelnummer"}}, {"AG", {"Nummer"}}, {"TE", {"Schluessel"}},
        {"AP", {"Artikelnummer", "Preisart", "Preisnummer"}}, {"UD", {}}};
    for (const auto& [code, fields] : keys) {
        server->tables[code].keys = fields;
        for (const auto& row : world.database->tables.at(code).rows) {
            server->tables[code].records.emplace_back(row.begin(), row.end());
        }
    }
    for (const auto& record : server->tables["AR"].records) {
        if (record.count("Listenpreis") != 0 && record.at("Listenpreis").ToNumber()) {
            server->listPrices[record.at("Artikelnummer").ToText()] =
                std::llround(*record.at("Listenpreis").ToNumber() * 10000);
        }
    }
    const auto articleFile = [&](SelectlineFactory selectline) {
        TempFolder programFolder;
        TransferContext run{world.status, world.dialogs, world.web, world.ftp, std::move(selectline),
                            programFolder.path(), world.cancel};
        SelectlineSession session = OpenSelectlineSession({"AR", "AG", "TE", "AP", "UD"}, run);
        ArticlesSeen seen;
        EXPECT_EQ(ExportArticles(world.settings, run, session, seen), 1);
        return programFolder.Read("artikelstamm1.csv");
    };
    const std::string inMemory = articleFile(MakeMemorySelectline(world.database));
    EXPECT_GT(std::count(inMemory.begin(), inMemory.end(), '\n'), 30) << inMemory;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        const FakeXFaktRegistration registration(server);
        EXPECT_EQ(articleFile(MakeComSelectline()), inMemory);
    }
    CoUninitialize();
    EXPECT_EQ(server->liveObjects, 0) << "objects of the server not released";
}

// The fake as a process of its own (fake_xfakt_local_server.exe beside this program), whose process
// ends in its second "AR.Next": the transfer ends at once with a message naming the call.
TEST(ComTransfer, AServerProcessThatEndsMidWalkEndsTheTransferWithAMessage) {
    wchar_t buffer[MAX_PATH];
    const std::wstring thisProgram(buffer, GetModuleFileNameW(nullptr, buffer, MAX_PATH));
    const FakeXFaktRegistryEntries entries(L"\"" + thisProgram.substr(0, thisProgram.find_last_of(L'\\')) +
                                           L"\\fake_xfakt_local_server.exe\" --die-at-next 2");
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        FakeTransferWorld world;
        world.context.selectline = MakeComSelectline();
        world.settings.mapping[0].selectlineField = "Artikelnummer";
        world.settings.mapping[15].selectlineField = "Artikelgruppe";
        EXPECT_EQ(RunArticleTransfer(world.settings, world.context), TransferOutcome::Stopped);
        ASSERT_FALSE(world.status.errors.empty());
        // The call fails (RPC_S_CALL_FAILED under wine), or the apartment has already seen the server
        // go (RPC_E_DISCONNECTED, RPC_S_SERVER_UNAVAILABLE).
        EXPECT_THAT(world.status.errors.back(),
                    ::testing::AllOf(StartsWith("Fehler beim Aufruf von \"Next\" in Selectline: "),
                                     AnyOf(EndsWith(" (0x800706BE)"), EndsWith(" (0x80010108)"),
                                           EndsWith(" (0x800706BA)"))));
        EXPECT_EQ(world.journal.Entries().back(), "message: " + world.status.errors.back());
    }
    CoUninitialize();
}

}  // namespace
}  // namespace warenkai::test
