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
    CustomerImportResult Import(const std::string& file, const CustomerImportOptions& options = {}) {
        auto application = MakeMemorySelectline(database)();
        return ImportCustomers(std::filesystem::path(WARENKAI_TEST_DATA) / "import" / file,
                               *application->CreateTable("KU"), *application->CreateTable("AD"), status, dialogs,
                               cancel, options);
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

const std::pair<const char*, const char*> kOldAddresses[] = {
    {"KUL30", "alt 30"}, {"LIEF1", "Lieferant"}, {"KUL10", "alt 10 a"}, {"KUL10", "alt 10 b"}, {"KUL50", "alt 50"}};

class AddressWalk : public CustomerImportTest, public ::testing::WithParamInterface<std::tuple<bool, bool>> {};

bool ByType(const MemoryTable::Row& a, const MemoryTable::Row& b) {
    return a.at("Adresstyp").ToText() < b.at("Adresstyp").ToText();
}

// tests/data/import/files/kunden_adressen.csv, known and new customers in and against table order,
// some twice: the address records found through the place list are the plain walk's, whatever order
// the table keeps and wherever a post leaves it. Of the two KUL10 records the first is updated, twice.
TEST_P(AddressWalk, GivesTheRecordsOfThePlainWalk) {
    // sorted: a new record goes after those of its "Adresstyp", as in a table shown along an index.
    const auto [sorted, postGoesToFirst] = GetParam();
    std::vector<Lines> results;
    for (const bool naive : {true, false}) {
        MemoryTable& addresses = database->Table("AD");
        addresses.rows.clear();
        database->Table("KU").rows.clear();
        for (const auto& [type, name] : kOldAddresses) {
            addresses.Add({{"Adresstyp", type}, {"Name", name}});
        }
        if (sorted) {
            std::stable_sort(addresses.rows.begin(), addresses.rows.end(), ByType);
        }
        addresses.afterPost = [sorted, postGoesToFirst](std::vector<MemoryTable::Row>& rows, std::size_t& current,
                                                        bool inserted) {
            if (sorted && inserted) {  // an insert appends: move the row after those of its type
                const auto to = std::upper_bound(rows.begin(), rows.begin() + current, rows[current], ByType);
                std::rotate(to, rows.begin() + current, rows.begin() + current + 1);
                current = to - rows.begin();
            }
            current = postGoesToFirst ? 0 : current;
        };
        Import("files/kunden_adressen.csv", {.naiveAddressWalk = naive});
        results.emplace_back();
        for (const auto& row : addresses.rows) {
            results.back().push_back(row.at("Adresstyp").ToText() + " " + row.at("Name").ToText());
        }
    }
    EXPECT_EQ(status.errors, Lines{});
    EXPECT_EQ(results[0], results[1]);
    std::sort(results[1].begin(), results[1].end());
    EXPECT_EQ(Text(results[1]), TestData("import/customers/address_walk.txt"));
}

INSTANTIATE_TEST_SUITE_P(Layouts, AddressWalk, ::testing::Combine(::testing::Bool(), ::testing::Bool()));

}  // namespace
}  // namespace warenkai::test
