#include "import/order_import.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "import/order_record.h"
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

// Documents of the customer `failing` names whose Save fails, as Selectline's may (a locked number
// range).
class DocumentSaveFails final : public SelectlineDocument {
public:
    DocumentSaveFails(std::unique_ptr<SelectlineDocument> inner, const std::string& failing)
        : m_inner(std::move(inner)), m_failing(failing) {}
    void SetAdresse(const std::string& customer) override {
        m_inner->SetAdresse(customer);
        m_customer = customer;
    }
    void PutField(const std::string& name, const std::string& value) override { m_inner->PutField(name, value); }
    std::unique_ptr<SelectlineDocumentLine> CreatePos(const std::string& kind) override {
        return m_inner->CreatePos(kind);
    }
    void Save() override {
        if (m_customer == m_failing) {
            throw SelectlineError("Beleg gesperrt");
        }
        m_inner->Save();
    }

private:
    std::unique_ptr<SelectlineDocument> m_inner;
    const std::string& m_failing;
    std::string m_customer;
};

class Application final : public SelectlineApplication {
public:
    Application(std::unique_ptr<SelectlineApplication> inner, const std::string& failing)
        : m_inner(std::move(inner)), m_failing(failing) {}
    bool ApplicationReady() override { return true; }
    void login(const std::string&, const std::string&) override {}
    void getMandant(const std::string&, int) override {}
    std::unique_ptr<SelectlineTable> CreateTable(const std::string& code) override {
        return m_inner->CreateTable(code);
    }
    Variant Listenpreis(const std::string&) override { return {}; }
    std::unique_ptr<SelectlineDocument> NeuerBelegAuto(const std::string& kind, const std::string& text) override {
        return std::make_unique<DocumentSaveFails>(m_inner->NeuerBelegAuto(kind, text), m_failing);
    }

private:
    std::unique_ptr<SelectlineApplication> m_inner;
    const std::string& m_failing;
};

class OrderImportTest : public ::testing::Test, protected FakeTransferWorld {
protected:
    OrderImportTest() {
        database->Table("KU").Add({{"Nummer", "100"}}).Add({{"Nummer", "200"}});
        database->Table("AR").Add({{"Artikelnummer", "4711"}}).Add({{"Artikelnummer", "0815"}});
        customers = application.CreateTable("KU");
        articles = application.CreateTable("AR");
    }

    OrderImportResult Import(const std::string& bytes) { return Import(bytes, cancel); }
    OrderImportResult Import(const std::string& bytes, const CancelRequest& stop) {
        return ImportFile(folder.Write("bestellungen.csv", bytes), stop);
    }
    OrderImportResult ImportFile(const std::filesystem::path& file, const CancelRequest& stop) {
        OrderRecord record(recordFile, [] { return std::string("2024-05-03 14:22:06"); });
        return ImportOrders(file, {application, *customers, *articles}, record, status, dialogs, stop);
    }
    void WriteRecord(const std::string& marks) {
        folder.Write(kOrderRecordFileName, std::string(kOrderRecordHeader) + "\r\n" + marks);
    }
    std::optional<OrderRecord::Known> Recorded(const OrderIdentity& identity) const {
        return OrderRecord(recordFile).Find(identity);
    }

    // Each saved document as "kind address: position count".
    Lines Documents() const {
        Lines documents;
        for (const auto& document : database->documents) {
            documents.push_back(document.kind + " " + document.address + ": " +
                                std::to_string(document.positions.size()));
        }
        return documents;
    }

    std::string documentSaveFailsFor = "-";
    Application application{MakeMemorySelectline(database)(), documentSaveFailsFor};
    std::unique_ptr<SelectlineTable> customers;
    std::unique_ptr<SelectlineTable> articles;
    std::filesystem::path recordFile = folder / kOrderRecordFileName;
};

TEST_F(OrderImportTest, RowsOfOneOrderShareADocumentAndEveryRowIsOnePosition) {
    const auto result =
        Import(OrderHeader() + OrderLine("1", "a", "100") + OrderLine("1", "a", "100") + OrderLine("2", "b", "100"));
    EXPECT_EQ(Documents(), (Lines{"B 100: 2", "B 100: 1"}));
    EXPECT_EQ(result.orders, 2u);
    EXPECT_EQ(result.entered, 2u);
    EXPECT_EQ(result.positions, 3u);
    EXPECT_EQ(database->documents.at(0).positions.at(1).calls, kPositionCalls);
    EXPECT_EQ(journal.Entries(), Lines{"status: Bestellungen: 2 eingetragen, 0 schon früher eingetragen, 0 nicht "
                                       "eingetragen"});
}

// Any part of the identity begins a new order; the last document is saved at the end of the file.
// Lines of an order that stand apart from it are not entered as an order of their own.
TEST_F(OrderImportTest, TheOrderIdentityDecidesTheDocuments) {
    // 1" without quotes around it: the quote is cleaned away, so the row belongs to the order before.
    const std::string quoted = "1\"" + OrderLine("1", "A", "200").substr(3);
    const std::vector<std::pair<std::string, Lines>> cases = {
        {OrderLine("1", "a", "100") + OrderLine("1", "A", "100") + OrderLine("1", "A", "200") + quoted,
         {"B 100: 1", "B 100: 1", "B 200: 2"}},
        {OrderLine("1", "a", "100") + OrderLine("2", "a", "200") + OrderLine("2", "a", "200"),
         {"B 100: 1", "B 200: 2"}},
        {OrderLine("1", "a", "100") + OrderLine("2", "b", "200") + OrderLine("1", "a", "100"),
         {"B 100: 1", "B 200: 1"}},
    };
    for (const auto& [lines, expected] : cases) {
        database->documents.clear();
        std::filesystem::remove(recordFile);
        Import(OrderHeader() + lines);
        EXPECT_EQ(Documents(), expected) << lines;
    }
    EXPECT_EQ(status.errors, Lines{"Fehler: bestellungen.csv Zeile 4: Bestellung 1/a/100 stand schon weiter oben in "
                                   "der Datei, ihre Zeilen hier wurden nicht eingetragen"});
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

// Each order is marked begun before its document is created and entered after it was saved; a
// second run of the same file finds every order entered.
TEST_F(OrderImportTest, TheSameFileTwiceEntersEveryOrderOnce) {
    const std::string file =
        OrderHeader() + OrderLine("1", "a", "100") + OrderLine("1", "a", "100") + OrderLine("2", "b", "200");
    const auto mark = [](const std::string& word, const std::string& order) {
        return word + ";2024-05-03 14:22:06;" + order + "\r\n";
    };
    const std::string header = std::string(kOrderRecordHeader) + "\r\n";
    Lines recordAtCreation;
    database->onCall = [&](const std::string& call) {
        if (call == "NeuerBelegAuto B") {
            recordAtCreation.push_back(folder.Read(kOrderRecordFileName));
        }
    };
    Import(file);
    EXPECT_EQ(recordAtCreation, (Lines{header + mark("begonnen", "2;1;a;100"), header + mark("begonnen", "2;1;a;100") +
                                                                                   mark("eingetragen", "2;1;a;100") +
                                                                                   mark("begonnen", "1;2;b;200")}));
    journal.Clear();
    const auto second = Import(file);
    EXPECT_EQ(Documents(), (Lines{"B 100: 2", "B 200: 1"}));
    EXPECT_EQ(second.orders, 2u);
    EXPECT_EQ(second.entered, 0u);
    EXPECT_EQ(second.alreadyEntered, 2u);
    EXPECT_EQ(journal.Entries(),
              Lines{"status: Bestellungen: 0 eingetragen, 2 schon früher eingetragen, 0 nicht eingetragen"});
    EXPECT_EQ(folder.Read(kOrderRecordFileName), header + mark("begonnen", "2;1;a;100") +
                                                     mark("eingetragen", "2;1;a;100") + mark("begonnen", "1;2;b;200") +
                                                     mark("eingetragen", "1;2;b;200"));
}

// A cancel is taken before the next order begins; the next run enters exactly the orders not yet
// entered, each once.
TEST_F(OrderImportTest, TheRunAfterACancelEntersExactlyTheRemainingOrders) {
    const std::string file = OrderHeader() + OrderLine("1", "a", "100") + OrderLine("1", "a", "100") +
                             OrderLine("2", "b", "200") + OrderLine("3", "c", "100") + OrderLine("4", "d", "200");
    const std::vector<std::pair<int, std::string>> cases = {{1, "Abgebrochen nach 2 von 5 Bestellzeilen"},
                                                            {2, "Abgebrochen nach 3 von 5 Bestellzeilen"}};
    for (const auto& [orders, text] : cases) {
        database->documents.clear();
        std::filesystem::remove(recordFile);
        CancelRequest stop;
        database->onCall = [&, orders = orders](const std::string& call) {
            // during the last position of order number `orders`
            if (call == "Save 1" && database->documents.size() + 1 == static_cast<std::size_t>(orders)) {
                stop.Request();
            }
        };
        EXPECT_THAT([&] { Import(file, stop); }, ::testing::ThrowsMessage<TransferCancelled>(::testing::StrEq(text)));
        EXPECT_EQ(database->documents.size(), static_cast<std::size_t>(orders));
        database->onCall = nullptr;
        const auto rest = Import(file, CancelRequest{});
        EXPECT_EQ(rest.entered, 4u - orders);
        EXPECT_EQ(rest.alreadyEntered, static_cast<std::size_t>(orders));
        EXPECT_EQ(Documents(), (Lines{"B 100: 2", "B 200: 1", "B 100: 1", "B 200: 1"}));
    }
}

// What the record knows of an order decides: entered (no error, unless the shop now has another
// number of positions for it), begun and never finished (reported, not entered again), begun and
// failed (entered now).
TEST_F(OrderImportTest, WhatTheRecordKnowsOfAnOrder) {
    const std::string begun = "begonnen;2024-05-03 14:22:06;1;2;b;200\r\n";
    struct Case {
        std::string marks;
        Lines documents;
        Lines errors;
    };
    const std::vector<Case> cases = {
        {"eingetragen;t;1;2;b;200\r\n", {"B 100: 1"}, {}},
        {"eingetragen;t;3;2;b;200\r\n",
         {"B 100: 1"},
         {"Fehler: Bestellung 2/b/200 ist schon mit 3 Positionen eingetragen, die Datei hat jetzt 1: nicht noch "
          "einmal eingetragen, bitte in Selectline prüfen"}},
        {begun,
         {"B 100: 1"},
         {"Fehler: Bestellung 2/b/200 wurde bei einem früheren Lauf begonnen, aber nicht fertig eingetragen: bitte "
          "in Selectline prüfen und in \"Bestellungen eingetragen.txt\" vermerken"}},
        {begun + "fehlgeschlagen;t;1;2;b;200\r\n", {"B 100: 1", "B 200: 1"}, {}},
    };
    for (const auto& [marks, documents, errors] : cases) {
        database->documents.clear();
        status.errors.clear();
        WriteRecord(marks);
        Import(OrderHeader() + OrderLine("1", "a", "100") + OrderLine("2", "b", "200"));
        EXPECT_EQ(Documents(), documents) << marks;
        EXPECT_EQ(status.errors, errors) << marks;
    }
}

// An order is entered whole or not at all: nothing of it reaches Selectline, it is reported once and
// not recorded, so the run after the data was mended enters it.
TEST_F(OrderImportTest, AnOrderSelectlineCannotTakeWholeIsNotEnteredAndTheNextRunEntersIt) {
    struct Case {
        std::string name;
        std::string customer, article;
        std::function<void()> fail, mend;
        std::string reason;
    };
    bool failPosition = false;
    int positionSaves = 0;
    database->onCall = [&](const std::string& call) {
        // the second position of the second order
        if (call == "Save 1" && ++positionSaves == 3 && failPosition) {
            throw SelectlineError("Position gesperrt");
        }
    };
    const std::vector<Case> cases = {
        {"unknown customer", "999", "4711", [] {},
         [&] {
             database->Table("KU").Add({{"Nummer", "999"}});
         },
         "Kunde \u201E999\u201C ist in Selectline nicht vorhanden"},
        {"unknown article in the second position", "200", "9999", [] {},
         [&] {
             database->Table("AR").Add({{"Artikelnummer", "9999"}});
         },
         "Artikel \u201E9999\u201C ist in Selectline nicht vorhanden"},
        {"a position's Save fails", "200", "0815", [&] { failPosition = true; }, [&] { failPosition = false; },
         "Position gesperrt"},
        {"the document's Save fails", "200", "0815", [&] { documentSaveFailsFor = "200"; },
         [&] { documentSaveFailsFor = "-"; }, "Beleg gesperrt"},
    };
    for (const auto& [name, customer, article, fail, mend, reason] : cases) {
        database->documents.clear();
        status.errors.clear();
        std::filesystem::remove(recordFile);
        auto second = Order("2", "b", customer);
        second.article = article;
        const std::string file = OrderHeader() + OrderLine("1", "a", "100") + OrderLine("2", "b", customer) +
                                 OrderLine(second) + OrderLine("3", "c", "100");
        fail();
        positionSaves = 0;
        const auto result = Import(file);
        EXPECT_EQ(Documents(), (Lines{"B 100: 1", "B 100: 1"})) << name;
        EXPECT_EQ(status.errors, Lines{"Fehler: Bestellung 2/b/" + customer + " nicht eingetragen: " + reason}) << name;
        EXPECT_EQ(result.notEntered, 1u) << name;
        EXPECT_FALSE(Recorded({"2", "b", customer})) << name;
        mend();
        const auto next = Import(file);
        EXPECT_EQ(next.entered, 1u) << name;
        EXPECT_EQ(next.alreadyEntered, 2u) << name;
        EXPECT_EQ(Documents(), (Lines{"B 100: 1", "B 100: 1", "B " + customer + ": 2"})) << name;
    }
}

TEST_F(OrderImportTest, AnAmountThatIsNoNumberKeepsTheOrderOut) {
    auto line = Order("1", "a", "100");
    line.quantity = "zwei";
    line.unitPrice = "";
    line.taxRate = "19";
    line.total = "1.234,50";
    const auto result = Import(OrderHeader() + OrderLine("1", "a", "100") + OrderLine(line));
    EXPECT_EQ(status.errors, (Lines{"Fehler: Bestellung 1/a/100 nicht eingetragen: Zeile 3: Menge \u201Ezwei\u201C ist "
                                    "keine Zahl; Zeile 3: Einzelpreis \u201E\u201C ist keine Zahl; Zeile 3: "
                                    "Gesamtpreis \u201E1.234,50\u201C ist keine Zahl"}));
    EXPECT_TRUE(database->documents.empty());
    EXPECT_EQ(result.notEntered, 1u);
}

TEST_F(OrderImportTest, RowsWithoutOrderIdentityAreReportedNotDropped) {
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
}

TEST_F(OrderImportTest, MissingFileShowsTheMessage) {
    const auto result = ImportFile(folder / "bestellungen.csv", cancel);
    EXPECT_FALSE(result.fileOpened);
    EXPECT_EQ(journal.Entries(), (Lines{"message: Fehler beim öffnen von bestellungen.csv"}));
}

}  // namespace
}  // namespace warenkai::test
