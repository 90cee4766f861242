#include "import/customer_import.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "tests/import/import_test_files.h"
#include "tests/support/fake_transfer_world.h"

namespace warenkai::test {
namespace {

using Lines = std::vector<std::string>;

// A customer with every field filled: field n holds "f<n>", address block A "a…", block B "b…".
std::map<std::size_t, std::string> FullCustomer() {
    std::map<std::size_t, std::string> fields;
    for (std::size_t i = 1; i < 25; ++i) {
        fields[i] = "f" + std::to_string(i);
    }
    return fields;
}

std::map<std::size_t, std::string> WithoutBlocks(std::map<std::size_t, std::string> fields, bool blockA, bool blockB) {
    for (std::size_t i = 0; i < 5; ++i) {
        if (blockA) {
            fields.erase(14 + i);
        }
        if (blockB) {
            fields.erase(19 + i);
        }
    }
    return fields;
}

class CustomerImportTest : public ::testing::Test, protected FakeTransferWorld {
protected:
    CustomerImportTest() {
        database->Table("KU").columns = CustomerColumns();
        database->Table("AD").columns = AddressColumns();
    }

    CustomerImportResult Import(const std::string& bytes, CustomerImportOptions options = {}) {
        return ImportFile(folder.Write("kundenstamm.csv", bytes), options);
    }

    CustomerImportResult ImportFile(const std::filesystem::path& file, CustomerImportOptions options = {}) {
        auto application = MakeMemorySelectline(database)();
        auto customers = application->CreateTable("KU");
        auto addresses = application->CreateTable("AD");
        database->calls.clear();
        return ImportCustomers(file, *customers, *addresses, status, dialogs, cancel, options);
    }

    // A record of a table as "field=value|field=value" in the order of the table's columns, empty fields left out.
    std::string Row(const std::string& code, std::size_t index) {
        const auto& table = database->Table(code);
        std::string text;
        for (const auto& column : table.columns) {
            const auto found = table.rows.at(index).find(column);
            if (found != table.rows.at(index).end() && !found->second.ToText().empty()) {
                text += (text.empty() ? "" : "|") + column + "=" + found->second.ToText();
            }
        }
        return text;
    }

    Lines Rows(const std::string& code) {
        Lines rows;
        for (std::size_t i = 0; i < database->Table(code).rows.size(); ++i) {
            rows.push_back(Row(code, i));
        }
        return rows;
    }
};

TEST_F(CustomerImportTest, NewCustomerGetsCustomerReferenceAndAddressRecordInThisOrder) {
    database->recordCalls = true;
    const auto result = Import(CustomerHeader() + CustomerLine("1001", FullCustomer()));
    EXPECT_EQ(result.customers, 1u);
    EXPECT_EQ(database->calls,
              (Lines{"KU.FindKey 1001", "KU.Insert", "KU.PutField Nummer=1001", "KU.PutField Name=f1",
                     "KU.PutField Zusatz=f2", "KU.PutField Strasse=f3", "KU.PutField Plz=f4", "KU.PutField Ort=f5",
                     "KU.PutField SteueridentNr=f8", "KU.PutField Steuernummer=f9", "KU.PutField EMail=f10",
                     "KU.PutField Telefon1=f11", "KU.PutField Telefon2=f12", "KU.PutField Fax=f13",
                     "KU.PutField FreierText1=Branche: f7", "KU.PutField FreierText2=Kundenart: f24", "KU.Post",
                     // address block B: the reference record
                     "KU.FindKey R1001", "KU.Insert", "KU.PutField Nummer=R1001", "KU.PutField Name=f19",
                     "KU.PutField Zusatz=f20", "KU.PutField Strasse=f21", "KU.PutField Plz=f22", "KU.PutField Ort=f23",
                     "KU.Post", "KU.FindKey 1001", "KU.PutField RefAdresse=R1001", "KU.Post",
                     // address block A: the address record, the table is empty
                     "AD.First", "AD.Recordcount", "AD.Insert", "AD.PutField Adresstyp=KUL1001", "AD.PutField Name=f14",
                     "AD.PutField Zusatz=f15", "AD.PutField Strasse=f16", "AD.PutField Plz=f17", "AD.PutField Ort=f18",
                     "AD.Post"}));
    EXPECT_EQ(Rows("KU"), (Lines{"Nummer=1001|Name=f1|Zusatz=f2|Strasse=f3|Plz=f4|Ort=f5|SteueridentNr=f8|"
                                 "Steuernummer=f9|EMail=f10|Telefon1=f11|Telefon2=f12|Fax=f13|"
                                 "FreierText1=Branche: f7|FreierText2=Kundenart: f24|RefAdresse=R1001",
                                 "Nummer=R1001|Name=f19|Zusatz=f20|Strasse=f21|Plz=f22|Ort=f23"}));
    EXPECT_EQ(Rows("AD"), (Lines{"Adresstyp=KUL1001|Name=f14|Zusatz=f15|Strasse=f16|Plz=f17|Ort=f18"}));
    EXPECT_EQ(journal.Entries(), (Lines{"status: Kundennummer: 1001"}));
}

TEST_F(CustomerImportTest, KnownCustomerIsOverwrittenAlsoWithEmptyFieldsAndNotInsertedAgain) {
    database->Table("KU").Add({{"Nummer", "1001"}, {"Name", "Alt"}, {"Fax", "0815"}, {"RefAdresse", "R1001"}});
    database->recordCalls = true;
    Import(CustomerHeader() + CustomerLine("1001", {{1, "Neu"}}));
    EXPECT_EQ(database->calls,
              (Lines{"KU.FindKey 1001", "KU.PutField Name=Neu", "KU.PutField Zusatz=", "KU.PutField Strasse=",
                     "KU.PutField Plz=", "KU.PutField Ort=", "KU.PutField SteueridentNr=", "KU.PutField Steuernummer=",
                     "KU.PutField EMail=", "KU.PutField Telefon1=", "KU.PutField Telefon2=", "KU.PutField Fax=",
                     "KU.PutField FreierText1=Branche: ", "KU.PutField FreierText2=Kundenart: ", "KU.Post"}));
    // Both address blocks are empty: no reference record is touched, "RefAdresse" stays.
    EXPECT_EQ(Rows("KU"),
              (Lines{"Nummer=1001|Name=Neu|FreierText1=Branche: |FreierText2=Kundenart: |RefAdresse=R1001"}));
    EXPECT_TRUE(Rows("AD").empty());
}

TEST_F(CustomerImportTest, EmptyBlockBTouchesNoReferenceAndEmptyBlockAWalksNoAddresses) {
    database->Table("AD").Add({{"Adresstyp", "KUL9"}});
    database->recordCalls = true;
    Import(CustomerHeader() + CustomerLine("1001", WithoutBlocks(FullCustomer(), false, true)) +
           CustomerLine("1002", WithoutBlocks(FullCustomer(), true, false)));
    const auto calls = database->calls;
    const auto count = [&](const std::string& call) { return std::count(calls.begin(), calls.end(), call); };
    EXPECT_EQ(count("KU.FindKey R1001"), 0);
    EXPECT_EQ(count("AD.PutField Adresstyp=KUL1001"), 1);
    EXPECT_EQ(count("KU.FindKey R1002"), 1);
    EXPECT_EQ(count("AD.PutField Adresstyp=KUL1002"), 0);
    // The one walk of the address table happened for 1001; 1002 has no block A.
    EXPECT_EQ(count("AD.First"), 1);
    EXPECT_EQ(Rows("AD").size(), 2u);
    EXPECT_EQ(Rows("KU").size(), 3u);
}

TEST_F(CustomerImportTest, TwoRunsWithTheSameFileCreateNothingTwice) {
    const auto file = CustomerHeader() + CustomerLine("1001", FullCustomer()) + CustomerLine("1002", FullCustomer());
    Import(file);
    const auto customersAfterFirst = Rows("KU");
    const auto addressesAfterFirst = Rows("AD");
    ASSERT_EQ(customersAfterFirst.size(), 4u);
    ASSERT_EQ(addressesAfterFirst.size(), 2u);
    database->recordCalls = true;
    Import(file);
    EXPECT_EQ(Rows("KU"), customersAfterFirst);
    EXPECT_EQ(Rows("AD"), addressesAfterFirst);
    for (const auto& call : database->calls) {
        EXPECT_NE(call, "KU.Insert");
        EXPECT_NE(call, "AD.Insert");
    }
    EXPECT_TRUE(status.errors.empty());
}

TEST_F(CustomerImportTest, KnownAddressRecordIsTheFirstOfItsTypeInTableOrder) {
    database->Table("AD")
        .Add({{"Adresstyp", "KUL77"}, {"Name", "anderer"}})
        .Add({{"Adresstyp", "KUL1001"}, {"Name", "erster"}})
        .Add({{"Adresstyp", "KUL1001"}, {"Name", "zweiter"}});
    Import(CustomerHeader() + CustomerLine("1001", {{14, "neu"}}));
    EXPECT_EQ(Rows("AD"),
              (Lines{"Adresstyp=KUL77|Name=anderer", "Adresstyp=KUL1001|Name=neu", "Adresstyp=KUL1001|Name=zweiter"}));
}

TEST_F(CustomerImportTest, EmptyAddressTableIsNotComparedAndGetsANewRecord) {
    database->recordCalls = true;
    Import(CustomerHeader() + CustomerLine("1001", {{18, "Ort"}}), {.naiveAddressWalk = true});
    EXPECT_EQ(database->Table("AD").rows.size(), 1u);
    for (const auto& call : database->calls) {
        EXPECT_NE(call, "AD.GetField Adresstyp");
    }
}

TEST_F(CustomerImportTest, HeaderOnlyProcessesNoCustomer) {
    database->recordCalls = true;
    const auto result = Import(CustomerHeader());
    EXPECT_TRUE(result.fileOpened);
    EXPECT_EQ(result.customers, 0u);
    EXPECT_TRUE(database->calls.empty());
    EXPECT_TRUE(journal.Entries().empty());
}

TEST_F(CustomerImportTest, ShortLineIsReportedAndTheFollowingCustomersAreRight) {
    auto broken = CustomerLine("1002", FullCustomer());
    broken.erase(broken.rfind(','));  // the last field is missing
    broken += "\r\n";
    Import(CustomerHeader() + CustomerLine("1001", {{1, "Eins"}}) + broken +
           CustomerLine("1003", {{1, "Drei"}, {24, "B2B"}}));
    EXPECT_EQ(journal.Entries(),
              (Lines{"status: Kundennummer: 1001", "error: Fehler: kundenstamm.csv Zeile 3: 24 statt 25 Felder",
                     "status: Kundennummer: 1003"}));
    EXPECT_EQ(Rows("KU"), (Lines{"Nummer=1001|Name=Eins|FreierText1=Branche: |FreierText2=Kundenart: ",
                                 "Nummer=1003|Name=Drei|FreierText1=Branche: |FreierText2=Kundenart: B2B"}));
}

TEST_F(CustomerImportTest, QuotedCommaStaysInItsFieldAndUmlautsArriveFromWindows1252) {
    Import(CustomerHeader() + CustomerLine("1001", {{1,
                                                     "M\xFC"
                                                     "ller, Hans"},
                                                    {3,
                                                     "Stra\xDF"
                                                     "e 1"},
                                                    {5, "K\xF6ln"}}));
    EXPECT_EQ(Rows("KU"), (Lines{"Nummer=1001|Name=Müller, Hans|Strasse=Straße 1|Ort=Köln|FreierText1=Branche: |"
                                 "FreierText2=Kundenart: "}));
}

TEST_F(CustomerImportTest, CustomerNumberIsCleanedOfQuotesLineFeedsAndBlanks) {
    const std::string line = "\"\n 1001 \"" + CustomerLine("x").substr(3);
    Import(CustomerHeader() + line);
    EXPECT_EQ(Rows("KU").at(0).substr(0, 12), "Nummer=1001|");
    EXPECT_EQ(journal.Entries(), (Lines{"status: Kundennummer: 1001"}));
}

TEST_F(CustomerImportTest, LineWithoutNumberIsSkippedAndReportedWhenItHoldsData) {
    Import(CustomerHeader() + CustomerLine("", {{1, "Ohne Nummer"}}) + CustomerLine("") + CustomerLine("1001"));
    EXPECT_EQ(journal.Entries(),
              (Lines{"status: Kundennummer: ",
                     "error: Fehler: kundenstamm.csv Zeile 2: Kunde ohne Kundennummer nicht eingetragen",
                     "status: Kundennummer: ", "status: Kundennummer: 1001"}));
    EXPECT_EQ(Rows("KU").size(), 1u);
}

TEST_F(CustomerImportTest, FailingStepsAreReportedOncePerCustomerAndTheRunGoesOn) {
    auto& columns = database->Table("KU").columns;
    columns.erase(std::find(columns.begin(), columns.end(), "Fax"));
    database->Table("AD").columns = {"Name"};  // no "Adresstyp"
    Import(CustomerHeader() + CustomerLine("1001", FullCustomer()) + CustomerLine("1002", {{1, "Zwei"}}));
    EXPECT_EQ(status.errors, (Lines{"Fehler: Kunde 1001: Das Feld Fax gibt es in der Tabelle KU nicht; Das Feld "
                                    "Adresstyp gibt es in der Tabelle AD nicht",
                                    "Fehler: Kunde 1002: Das Feld Fax gibt es in der Tabelle KU nicht"}));
    // Everything else of both customers is stored.
    EXPECT_EQ(Rows("KU").size(), 3u);
    EXPECT_EQ(Row("KU", 2), "Nummer=1002|Name=Zwei|FreierText1=Branche: |FreierText2=Kundenart: ");
    EXPECT_TRUE(Rows("AD").empty());
}

TEST_F(CustomerImportTest, MissingFileOrAFolderInItsPlaceShowsTheMessageAndChangesNothing) {
    database->recordCalls = true;
    EXPECT_FALSE(ImportFile(folder / "kundenstamm.csv").fileOpened);
    std::filesystem::create_directory(folder / "kundenstamm.csv");
    EXPECT_FALSE(ImportFile(folder / "kundenstamm.csv").fileOpened);
    EXPECT_EQ(journal.Entries(), (Lines(2, "message: Fehler beim öffnen von kundenstamm.csv")));
    EXPECT_TRUE(database->calls.empty());
}

// A cancel is taken between two customers: the one under way is written whole, the next is not touched.
TEST_F(CustomerImportTest, ACancelLeavesEveryCustomerWholeOrUntouched) {
    status.onStatus = [&](const std::string& text) {
        if (text == "Kundennummer: 2") {
            cancel.Request();
        }
    };
    const auto full = FullCustomer();
    EXPECT_THAT(
        [&] { Import(CustomerHeader() + CustomerLine("1", full) + CustomerLine("2", full) + CustomerLine("3", full)); },
        ::testing::ThrowsMessage<TransferCancelled>(::testing::StrEq("Abgebrochen nach 2 von 3 Kunden")));
    const auto renumbered = [](std::string row) {
        row.replace(row.find("Nummer=1"), 8, "Nummer=2");
        row.replace(row.find("RefAdresse=R1"), 13, "RefAdresse=R2");
        return row;
    };
    const Lines customers = Rows("KU");
    ASSERT_EQ(customers.size(), 4u);  // 1, R1, 2, R2
    EXPECT_EQ(customers[2], renumbered(customers[0]));
    EXPECT_EQ(Rows("AD").size(), 2u);
    EXPECT_EQ(status.errors, Lines{});
}

}  // namespace
}  // namespace warenkai::test
