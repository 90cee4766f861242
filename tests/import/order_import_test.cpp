#include "import/order_import.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/import/import_test_files.h"
#include "tests/support/fake_transfer_world.h"

namespace warenkai::test {
namespace {

using Lines = std::vector<std::string>;

const Lines kPositionCalls = {"SetEingabeMenge 2",
                              "SetArtikel 4711",
                              "SetEinzelpreis 9,95",
                              "SetSteuerProzent 19,00",
                              "SetBezeichnung Schraube",
                              "SetGesamtpreis 19,90",
                              "Save 1"};

class OrderImportTest : public ::testing::Test, protected FakeTransferWorld {
protected:
    OrderImportTest() {
        database->Table("KU").Add({{"Nummer", "100"}}).Add({{"Nummer", "200"}});
        database->Table("AR").Add({{"Artikelnummer", "4711"}}).Add({{"Artikelnummer", "0815"}});
    }

    OrderImportResult Import(const std::string& bytes) { return ImportFile(folder.Write("bestellungen.csv", bytes)); }
    OrderImportResult ImportFile(const std::filesystem::path& file) {
        auto application = MakeMemorySelectline(database)();
        return ImportOrders(file, *application, status, dialogs, cancel);
    }

    // Each saved document as "address: position count".
    Lines Documents() const {
        Lines documents;
        for (const auto& document : database->documents) {
            documents.push_back(document.kind + " " + document.address + ": " +
                                std::to_string(document.positions.size()));
        }
        return documents;
    }
};

TEST_F(OrderImportTest, RowsOfOneOrderShareADocumentAndEveryRowIsOnePosition) {
    const auto result =
        Import(OrderHeader() + OrderLine("1", "a", "100") + OrderLine("1", "a", "100") + OrderLine("2", "b", "100"));
    EXPECT_EQ(Documents(), (Lines{"B 100: 2", "B 100: 1"}));
    EXPECT_EQ(result.orders, 2u);
    EXPECT_EQ(result.positions, 3u);
    EXPECT_EQ(database->documents.at(0).positions.at(1).calls, kPositionCalls);
    EXPECT_TRUE(journal.Entries().empty());
}

// Rows of one order that are not adjacent give separate documents; any part of the identity begins
// a new order; the last document is saved at the end of the file.
TEST_F(OrderImportTest, TheOrderIdentityDecidesTheDocuments) {
    // 1" without quotes around it: the quote is cleaned away, so the row belongs to the order before.
    const std::string quoted = "1\"" + OrderLine("1", "A", "200").substr(3);
    const std::vector<std::pair<std::string, Lines>> cases = {
        {OrderLine("1", "a", "100") + OrderLine("2", "b", "200") + OrderLine("1", "a", "100"),
         {"B 100: 1", "B 200: 1", "B 100: 1"}},
        {OrderLine("1", "a", "100") + OrderLine("1", "A", "100") + OrderLine("1", "A", "200") + quoted,
         {"B 100: 1", "B 100: 1", "B 200: 2"}},
        {OrderLine("1", "a", "100") + OrderLine("2", "a", "200") + OrderLine("2", "a", "200"),
         {"B 100: 1", "B 200: 2"}},
    };
    for (const auto& [lines, expected] : cases) {
        database->documents.clear();
        Import(OrderHeader() + lines);
        EXPECT_EQ(Documents(), expected) << lines;
    }
}

TEST_F(OrderImportTest, DocumentTextAndDetailText) {
    auto first = Order("1", "a", "100");
    first.more = {{20, "Bitte schnell"}, {21, "x"}, {25, "y"}, {23, "nicht benutzt"}};
    auto second = Order("2", "a", "100");
    second.more = {{21, "b"}, {22, "k"}, {24, "ka"}, {25, "kn"}, {26, "kg"}};
    Import(OrderHeader() + OrderLine(first) + OrderLine(second) + OrderLine("3", "a", "100"));
    ASSERT_EQ(database->documents.size(), 3u);
    EXPECT_EQ(database->documents[0].fields,
              (std::map<std::string, std::string>{{"FreierText1", "Bitte schnell"}, {"FreierText2", "B:xKN:y"}}));
    EXPECT_EQ(database->documents[1].fields.at("FreierText2"), "B:bK:kKA:kaKN:knKG:kg");
    EXPECT_EQ(database->documents[2].fields,
              (std::map<std::string, std::string>{{"FreierText1", ""}, {"FreierText2", ""}}));
}

TEST_F(OrderImportTest, AmountsAreConvertedWithTwoDecimals) {
    auto line = Order("1", "a", "100");
    line.quantity = "7.5";
    line.unitPrice = "0.126";
    line.taxRate = "7";
    line.total = "0.945";
    Import(OrderHeader() + OrderLine(line));
    ASSERT_EQ(database->documents.size(), 1u);
    EXPECT_EQ(database->documents[0].positions.at(0).calls,
              (Lines{"SetEingabeMenge 7,5", "SetArtikel 4711", "SetEinzelpreis 0,13", "SetSteuerProzent 7,00",
                     "SetBezeichnung Schraube", "SetGesamtpreis 0,95", "Save 1"}));
}

TEST_F(OrderImportTest, UnknownCustomerAndUnknownArticleAreReportedAndTheRunGoesOn) {
    auto unknownArticle = Order("2", "b", "200");
    unknownArticle.article = "9999";
    Import(OrderHeader() + OrderLine("1", "a", "999") + OrderLine("1", "a", "999") + OrderLine(unknownArticle) +
           OrderLine("3", "c", "100"));
    EXPECT_EQ(status.errors, (Lines{"Fehler: Bestellung 1/a/999: Kunde 999 ist nicht vorhanden",
                                    "Fehler: Bestellung 2/b/200: Artikel 9999 ist nicht vorhanden"}));
    // Everything else was entered: the documents, their positions, the position without article.
    EXPECT_EQ(Documents(), (Lines{"B : 2", "B 200: 1", "B 100: 1"}));
    EXPECT_EQ(database->documents[1].positions[0].calls,
              (Lines{"SetEingabeMenge 2", "SetEinzelpreis 9,95", "SetSteuerProzent 19,00", "SetBezeichnung Schraube",
                     "SetGesamtpreis 19,90", "Save 1"}));
}

TEST_F(OrderImportTest, AmountThatIsNoNumberIsReportedAndTheRestOfThePositionEntered) {
    auto line = Order("1", "a", "100");
    line.quantity = "zwei";
    line.unitPrice = "";
    line.total = "1.234,50";
    Import(OrderHeader() + OrderLine(line));
    EXPECT_EQ(status.errors, (Lines{"Fehler: Bestellung 1/a/100: Menge \u201Ezwei\u201C ist keine Zahl; Einzelpreis "
                                    "\u201E\u201C ist keine Zahl; Gesamtpreis \u201E1.234,50\u201C ist keine Zahl"}));
    EXPECT_EQ(database->documents.at(0).positions.at(0).calls,
              (Lines{"SetArtikel 4711", "SetSteuerProzent 19,00", "SetBezeichnung Schraube", "Save 1"}));
}

TEST_F(OrderImportTest, RowsWithAnEmptyFirstIdentityAreReportedNotDropped) {
    const auto result =
        Import(OrderHeader() + OrderLine("", "", "") + OrderLine("", "", "") + OrderLine("1", "a", "100"));
    EXPECT_EQ(status.errors,
              (Lines{"Fehler: bestellungen.csv Zeile 2: Position ohne Bestellnummer nicht eingetragen",
                     "Fehler: bestellungen.csv Zeile 3: Position ohne Bestellnummer nicht eingetragen"}));
    EXPECT_EQ(Documents(), (Lines{"B 100: 1"}));
    EXPECT_EQ(result.positions, 1u);
}

TEST_F(OrderImportTest, LineWithAnotherFieldCountIsReportedAndTheFollowingRowsAreRight) {
    auto broken = OrderLine("2", "b", "200");
    broken.insert(broken.size() - 2, ",\"zuviel\"");
    Import(OrderHeader() + OrderLine("1", "a", "100") + broken + OrderLine("3", "c", "200"));
    EXPECT_EQ(status.errors, (Lines{"Fehler: bestellungen.csv Zeile 3: 28 statt 27 Felder"}));
    EXPECT_EQ(Documents(), (Lines{"B 100: 1", "B 200: 1"}));
    EXPECT_EQ(database->documents[1].positions[0].calls, kPositionCalls);
}

TEST_F(OrderImportTest, HeaderOnlyCreatesNoDocument) {
    database->recordCalls = true;
    Import(OrderHeader());
    EXPECT_TRUE(database->documents.empty());
    EXPECT_TRUE(database->calls.empty());
    EXPECT_TRUE(journal.Entries().empty());
}

TEST_F(OrderImportTest, MissingFileShowsTheMessage) {
    const auto result = ImportFile(folder / "bestellungen.csv");
    EXPECT_FALSE(result.fileOpened);
    EXPECT_EQ(journal.Entries(), (Lines{"message: Fehler beim öffnen von bestellungen.csv"}));
}

// A cancel is taken before the next order begins: every document has all of its positions.
TEST_F(OrderImportTest, ACancelLeavesNoDocumentWithoutItsPositions) {
    int positions = 0;
    database->onCall = [&](const std::string& call) {
        if (call == "Save 1" && ++positions == 2) {
            cancel.Request();  // during the second line of the first order
        }
    };
    const std::string file = OrderHeader() + OrderLine("1", "a", "100") + OrderLine("1", "a", "100") +
                             OrderLine("1", "a", "100") + OrderLine("2", "b", "200");
    EXPECT_THAT([&] { Import(file); }, ::testing::ThrowsMessage<TransferCancelled>(
                                           ::testing::StrEq("Abgebrochen nach 3 von 4 Bestellzeilen")));
    EXPECT_EQ(Documents(), Lines{"B 100: 3"});
}

}  // namespace
}  // namespace warenkai::test
