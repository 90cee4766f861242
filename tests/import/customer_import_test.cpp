#include "import/customer_import.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/fake_transfer_world.h"
#include "tests/support/test_data.h"

namespace warenkai::test {
namespace {

class CustomerImportTest : public ::testing::Test, protected FakeTransferWorld {
protected:
    CustomerImportTest() { DeclareCustomerColumns(*database); }
    CustomerImportResult Import(const std::string& file) {
        auto application = MakeMemorySelectline(database)();
        return ImportCustomers(std::filesystem::path(WARENKAI_TEST_DATA) / "import" / file,
                               *application->CreateTable("KU"), *application->CreateTable("AD"), status, dialogs,
                               cancel);
    }
};

// tests/data/import/customers: a known customer overwritten also with empty fields, a new one with
// every field, a number in quotes with a line feed and blanks, Windows-1252 text with a comma in
// quotes, a short line, lines without number with and without data, address blocks A and B alone, a
// customer twice: the calls, what the user sees and the result. A second run of the same file creates
// no record.
TEST_F(CustomerImportTest, KundenstammAsExpectedAndASecondRunCreatesNoRecord) {
    database->Table("KU").Add({{"Nummer", "1001"}, {"Name", "Alt"}, {"Fax", "0815"}, {"RefAdresse", "R1001"}});
    database->recordCalls = true;
    const std::string result = CustomerImportSummary(Import("customers/kundenstamm.csv"));
    EXPECT_EQ("-- calls\n" + Text(database->calls) + "-- journal\n" + Text(journal.Entries()) + "-- result\n" + result,
              TestData("import/customers/expected.txt"));
    const auto records = std::pair(database->Table("KU").rows.size(), database->Table("AD").rows.size());
    EXPECT_EQ(CustomerImportSummary(Import("customers/kundenstamm.csv")),
              "0 Kunden neu, 5 geändert, 2 Zeilen fehlerhaft");
    EXPECT_EQ(std::pair(database->Table("KU").rows.size(), database->Table("AD").rows.size()), records);
}

// A failing step is noted and the customer's other steps still run; each customer with a failing
// step gets one error line.
TEST_F(CustomerImportTest, FailingStepsAreReportedOncePerCustomerAndTheRunGoesOn) {
    std::erase(database->Table("KU").columns, "Fax");
    database->Table("AD").columns = {"Name"};  // no "Adresstyp"
    Import("files/kunden_schritte.csv");
    EXPECT_EQ(status.errors, (Lines{"Fehler: Kunde 1: Das Feld Fax gibt es in der Tabelle KU nicht; Das Feld "
                                    "Adresstyp gibt es in der Tabelle AD nicht",
                                    "Fehler: Kunde 2: Das Feld Fax gibt es in der Tabelle KU nicht"}));
    EXPECT_EQ(database->Table("KU").rows.size(), 3u);  // 1, its reference R1, and 2
}

bool ByType(const MemoryTable::Row& a, const MemoryTable::Row& b) {
    return a.at("Adresstyp").ToText() < b.at("Adresstyp").ToText();
}

// tests/data/import/customers/address_walk.txt: tests/data/import/files/kunden_adressen.csv, known and
// new customers in and against table order, some twice, over address records of which two are KUL10,
// in tables that keep their rows in insertion order or along "Adresstyp" and whose post stays on the
// record or goes to the first: the records are those of a walk from the first record, wherever the
// table keeps them. Of the two KUL10 records the first is updated, twice.
TEST_F(CustomerImportTest, AddressWalkFindsTheRecordsWhateverOrderTheTableKeeps) {
    for (const auto& [layout, expected] : Cases("import/customers/address_walk.txt")) {
        const bool sorted = layout.starts_with("sortiert"), postGoesToFirst = layout.ends_with("zum ersten");
        MemoryTable& addresses = database->Table("AD");
        addresses.rows.clear();
        database->Table("KU").rows.clear();
        for (const char* name :
             {"KUL30 alt 30", "LIEF1 Lieferant", "KUL10 alt 10 a", "KUL10 alt 10 b", "KUL50 alt 50"}) {
            addresses.Add({{"Adresstyp", std::string(name, 5)}, {"Name", std::string(name + 6)}});
        }
        // sorted: a new record goes after those of its "Adresstyp", as in a table shown along an index
        std::stable_sort(addresses.rows.begin(), sorted ? addresses.rows.end() : addresses.rows.begin(), ByType);
        addresses.afterPost = [sorted, postGoesToFirst](auto& rows, std::size_t& current, bool inserted) {
            if (sorted && inserted) {  // an insert appends
                current = std::upper_bound(rows.begin(), rows.end() - 1, rows.back(), ByType) - rows.begin();
                std::stable_sort(rows.begin(), rows.end(), ByType);
            }
            current = postGoesToFirst ? 0 : current;
        };
        Import("files/kunden_adressen.csv");
        Lines seen = status.errors;
        for (const auto& row : addresses.rows) {
            seen.push_back(row.at("Adresstyp").ToText() + " " + row.at("Name").ToText());
        }
        EXPECT_EQ(seen, expected) << layout;
    }
}

}  // namespace
}  // namespace warenkai::test
