#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "selectline/com/com_selectline.h"
#include "selectline/selectline_application.h"
#include "tests/selectline/com/fake_xfakt_server.h"

namespace warenkai::test {
namespace {

using ::testing::EndsWith;
using ::testing::Eq;
using ::testing::StartsWith;
using Strings = std::vector<std::string>;

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

// The fake "XFakt.App" registered in this process for each test.
class ComSelectlineTest : public ::testing::Test {
protected:
    ComSelectlineTest() {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        server->tables["AR"] = {{"Artikelnummer"},
                                {{{"Artikelnummer", "4711"}, {"Bezeichnung", "Spaten"}},
                                 {{"Artikelnummer", "4712"}, {"Bezeichnung", "Gießkanne"}}}};
        server->tables["AP"] = {
            {"Artikelnummer", "Preisart", "Preisnummer"},
            {{{"Artikelnummer", "4711"}, {"Preisart", "G"}, {"Preisnummer", "1"}, {"Preis", "19,90"}},
             {{"Artikelnummer", "4711"}, {"Preisart", "A"}, {"Preis", "17,50"}}}};
        server->tables["KU"] = {{"Nummer"}, {}};
        server->listPrices["4711"] = 199900;
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
    SelectlineFactory selectline = MakeComSelectline();
};

TEST_F(ComSelectlineTest, ReadsTheServersTables) {
    const auto application = selectline();
    EXPECT_TRUE(application->ApplicationReady());
    EXPECT_EQ(application->Listenpreis("4711"), Variant(19.99));

    const auto articles = application->CreateTable("AR");
    EXPECT_EQ(articles->Recordcount(), 2);
    EXPECT_EQ(articles->GetField("Bezeichnung"), Variant("Spaten"));
    articles->Next();
    EXPECT_EQ(articles->GetField("Bezeichnung"), Variant("Gießkanne"));
    EXPECT_FALSE(articles->FindKey("9999"));
    EXPECT_TRUE(articles->FindKey("4711"));
    EXPECT_EQ(articles->GetField("Bezeichnung"), Variant("Spaten"));

    const auto prices = application->CreateTable("AP");
    EXPECT_TRUE(prices->FindKey2("4711", "A"));
    EXPECT_EQ(prices->GetField("Preis"), Variant("17,50"));
    EXPECT_TRUE(prices->FindKey3("4711", "G", "1"));
    EXPECT_EQ(prices->GetField("Preis"), Variant("19,90"));
    EXPECT_FALSE(prices->FindKey2("A", "4711"));
    EXPECT_FALSE(prices->FindKey3("4711", "1", "G"));
}

TEST_F(ComSelectlineTest, CallsArriveInOrderWithTheirArgumentsAndEachNameIsLookedUpOncePerObject) {
    const auto application = selectline();
    application->login("", "");
    application->getMandant("", 1);
    const auto customers = application->CreateTable("KU");
    customers->Insert();
    customers->PutField("Nummer", "10023");
    customers->PutField("Name", "Müller");
    customers->Post();
    const auto prices = application->CreateTable("AP");
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

    EXPECT_EQ(server->calls, (Strings{R"(App.login("", ""))",
                                      R"(App.getMandant("", i4 1))",
                                      R"(App.CreateTable("KU"))",
                                      "KU.Insert()",
                                      R"(KU.PutField("Nummer", "10023"))",
                                      R"(KU.PutField("Name", "Müller"))",
                                      "KU.Post()",
                                      R"(App.CreateTable("AP"))",
                                      R"(AP.FindKey2("4711", "A"))",
                                      R"(AP.FindKey3("4711", "G", "1"))",
                                      R"(App.NeuerBelegAuto("B", ""))",
                                      R"(Beleg.SetAdresse("10023"))",
                                      R"(Beleg.CreatePos("A"))",
                                      R"(Pos.SetArtikel("4711"))",
                                      "Pos.SetEingabeMenge(r8 2)",
                                      "Pos.SetEinzelpreis(r8 19.9)",
                                      R"(Pos.SetSteuerProzent("19,00"))",
                                      R"(Pos.SetBezeichnung("Spaten"))",
                                      R"(Pos.SetGesamtpreis("39,80"))",
                                      "Pos.Save(i4 1)",
                                      "Beleg.Save()"}));
    EXPECT_EQ(server->nameLookups,
              (Strings{"App.login", "App.getMandant", "App.CreateTable", "KU.Insert", "KU.PutField", "KU.Post",
                       "AP.FindKey2", "AP.FindKey3", "App.NeuerBelegAuto", "Beleg.SetAdresse", "Beleg.CreatePos",
                       "Pos.SetArtikel", "Pos.SetEingabeMenge", "Pos.SetEinzelpreis", "Pos.SetSteuerProzent",
                       "Pos.SetBezeichnung", "Pos.SetGesamtpreis", "Pos.Save", "Beleg.Save"}));
}

struct FailureCase {
    const char* name;
    FakeFailure failure;
    ::testing::Matcher<const std::string&> text;
};

void PrintTo(const FailureCase& failure, std::ostream* out) {
    *out << failure.name;
}

class ComSelectlineFailureTest : public ComSelectlineTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ComSelectlineFailureTest, BecomesASelectlineErrorWithItsText) {
    server->failures["App.getMandant"] = GetParam().failure;
    const auto application = selectline();
    EXPECT_THAT(ErrorText([&] { application->getMandant("", 1); }), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, ComSelectlineFailureTest,
    ::testing::Values(
        FailureCase{"ServerException", {DISP_E_EXCEPTION, "Mandant gesperrt", false}, Eq("Mandant gesperrt")},
        FailureCase{"DeferredServerException", {DISP_E_EXCEPTION, "Mandant gesperrt", true}, Eq("Mandant gesperrt")},
        FailureCase{"FailedCall",
                    {E_ACCESSDENIED, "", false},
                    ::testing::AllOf(StartsWith("Fehler beim Aufruf von \"getMandant\" in Selectline: "),
                                     EndsWith(" (0x80070005)"))},
        FailureCase{"UnknownName",
                    {DISP_E_UNKNOWNNAME, "", false},
                    ::testing::AllOf(StartsWith("Fehler beim Aufruf von \"getMandant\" in Selectline: "),
                                     EndsWith(" (0x80020006)"))}),
    [](const auto& parameter) { return std::string(parameter.param.name); });

TEST_F(ComSelectlineTest, ATableCodeWithoutTableIsAnError) {
    const auto application = selectline();
    EXPECT_EQ(ErrorText([&] { application->CreateTable("XX"); }),
              "Selectline hat bei \"CreateTable\" kein Objekt geliefert");
}

TEST(ComSelectlineUnregisteredTest, NamesTheMissingServer) {
    EXPECT_EQ(ErrorText([] { MakeComSelectline()(); }),
              "Selectline ist nicht installiert: der Automatisierungsserver \"XFakt.App\" ist nicht registriert");
    ExpectComLeft();
}

}  // namespace
}  // namespace warenkai::test
