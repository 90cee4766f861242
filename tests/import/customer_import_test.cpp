#include "import/customer_import.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/import/import_test_files.h"
#include "tests/support/fake_transfer_world.h"

namespace warenkai::test {
namespace {

using Lines = std::vector<std::string>;

class CustomerImportTest : public ::testing::Test, protected FakeTransferWorld {
protected:
    CustomerImportTest() {
        database->Table("KU").columns = CustomerColumns();
        database->Table("AD").columns = AddressColumns();
    }
    CustomerImportResult Import(const std::filesystem::path& file) {
        auto application = MakeMemorySelectline(database)();
        return ImportCustomers(file, *application->CreateTable("KU"), *application->CreateTable("AD"), status, dialogs,
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
    const auto file = std::filesystem::path(WARENKAI_TEST_DATA) / "import" / "customers" / "kundenstamm.csv";
    const std::string result = CustomerImportSummary(Import(file));
    EXPECT_EQ("-- calls\n" + Text(database->calls) + "-- journal\n" + Text(journal.Entries()) + "-- result\n" + result,
              ExpectedFile("customers/expected.txt"));
    const auto records = std::pair(database->Table("KU").rows.size(), database->Table("AD").rows.size());
    EXPECT_EQ(CustomerImportSummary(Import(file)), "0 Kunden neu, 5 geändert, 2 Zeilen fehlerhaft");
    EXPECT_EQ(std::pair(database->Table("KU").rows.size(), database->Table("AD").rows.size()), records);
}

// A failing step is noted and the customer's other steps still run; each customer with a failing
// step gets one error line.
TEST_F(CustomerImportTest, FailingStepsAreReportedOncePerCustomerAndTheRunGoesOn) {
    std::erase(database->Table("KU").columns, "Fax");
    database->Table("AD").columns = {"Name"};  // no "Adresstyp"
    Import(folder.Write("k.csv", CustomerHeader() + CustomerLine("1", {{1, "Eins"}, {14, "Lager"}, {19, "Rechnung"}}) +
                                     CustomerLine("2")));
    EXPECT_EQ(status.errors, (Lines{"Fehler: Kunde 1: Das Feld Fax gibt es in der Tabelle KU nicht; Das Feld "
                                    "Adresstyp gibt es in der Tabelle AD nicht",
                                    "Fehler: Kunde 2: Das Feld Fax gibt es in der Tabelle KU nicht"}));
    EXPECT_EQ(database->Table("KU").rows.size(), 3u);  // 1, its reference R1, and 2
}

struct Layout {
    bool sorted;
    bool postGoesToFirst;
};

class AddressFinderLayouts : public ::testing::TestWithParam<Layout> {};

bool ByType(const MemoryTable::Row& a, const MemoryTable::Row& b) {
    return a.at("Adresstyp").ToText() < b.at("Adresstyp").ToText();
}

// Known and new customers, in and against table order, one twice: the address records found through
// the place list are the plain walk's, whatever order the table keeps (`sorted`: a new record after
// those of its "Adresstyp", as a table shown along an index would) and wherever a post leaves it
// (`postGoesToFirst`). Of the two KUL10 records the first is updated, twice.
TEST_P(AddressFinderLayouts, GivesTheRecordsOfThePlainWalk) {
    std::string file = CustomerHeader();
    int name = 0;
    for (const std::string number : {"50", "20", "10", "30", "05", "60", "20", "40", "10", "99", "05"}) {
        file += CustomerLine(number, {{14, "neu " + std::to_string(++name)}});
    }
    std::vector<std::vector<MemoryTable::Row>> results;
    for (const bool naive : {true, false}) {
        FakeTransferWorld world;
        world.database->Table("KU").columns = CustomerColumns();
        MemoryTable& addresses = world.database->Table("AD");
        for (const auto& [type, old] : std::vector<std::pair<std::string, std::string>>{{"KUL30", "alt 30"},
                                                                                        {"LIEF1", "Lieferant"},
                                                                                        {"KUL10", "alt 10 a"},
                                                                                        {"KUL10", "alt 10 b"},
                                                                                        {"KUL50", "alt 50"}}) {
            addresses.Add({{"Adresstyp", type}, {"Name", old}});
        }
        addresses.columns = AddressColumns();
        if (GetParam().sorted) {
            std::stable_sort(addresses.rows.begin(), addresses.rows.end(), ByType);
        }
        addresses.afterPost = [layout = GetParam()](std::vector<MemoryTable::Row>& rows, std::size_t& current,
                                                    bool inserted) {
            if (layout.sorted && inserted) {
                const auto row = rows[current];
                rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(current));
                current =
                    static_cast<std::size_t>(std::upper_bound(rows.begin(), rows.end(), row, ByType) - rows.begin());
                rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(current), row);
            }
            current = layout.postGoesToFirst ? 0 : current;
        };
        auto application = MakeMemorySelectline(world.database)();
        ImportCustomers(world.folder.Write("k.csv", file), *application->CreateTable("KU"),
                        *application->CreateTable("AD"), world.status, world.dialogs, world.cancel,
                        {.naiveAddressWalk = naive});
        EXPECT_EQ(world.status.errors, Lines{});
        results.push_back(addresses.rows);
    }
    EXPECT_EQ(results[0], results[1]);
    const auto named = [&](const std::string& text) {
        return std::count_if(results[1].begin(), results[1].end(),
                             [&](auto& row) { return row.at("Name").ToText() == text; });
    };
    EXPECT_EQ(named("neu 9"), 1);
    EXPECT_EQ(named("alt 10 b"), 1);
    EXPECT_EQ(results[1].size(), 10u);
}

INSTANTIATE_TEST_SUITE_P(Layouts, AddressFinderLayouts,
                         ::testing::Values(Layout{false, false}, Layout{true, false}, Layout{false, true},
                                           Layout{true, true}));

}  // namespace
}  // namespace warenkai::test
