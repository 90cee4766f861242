#include "import/address_finder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/cancel_request.h"
#include "import/customer_import.h"
#include "tests/import/import_test_files.h"
#include "tests/support/fake_ui.h"
#include "tests/support/journal.h"
#include "tests/support/memory_selectline.h"
#include "tests/support/temp_folder.h"

namespace warenkai::test {
namespace {

using Lines = std::vector<std::string>;

// An address table whose order need not be the order of insertion: with `sorted` it keeps its
// records ordered by "Adresstyp" (equal ones in insertion order), as a table shown along an index
// would; with `postGoesToFirst` a post leaves it on its first record.
class ShiftingAddressTable final : public SelectlineTable {
public:
    using Row = std::map<std::string, std::string>;

    ShiftingAddressTable(std::vector<Row> startRows, bool sorted, bool postGoesToFirst)
        : rows(std::move(startRows)), m_sorted(sorted), m_postGoesToFirst(postGoesToFirst) {}

    std::int64_t Recordcount() override { return static_cast<std::int64_t>(rows.size()); }
    void First() override {
        ++moves;
        m_current = 0;
    }
    void Next() override {
        ++moves;
        m_current = std::min(m_current + 1, rows.size());
    }
    Variant GetField(const std::string& name) override {
        ++reads;
        if (m_current >= rows.size()) {
            throw SelectlineError("kein Datensatz");
        }
        return Variant(rows[m_current][name]);
    }
    bool FindKey(const std::string&) override { throw SelectlineError("kein Schlüssel"); }
    bool FindKey2(const std::string&, const std::string&) override { throw SelectlineError("kein Schlüssel"); }
    bool FindKey3(const std::string&, const std::string&, const std::string&) override {
        throw SelectlineError("kein Schlüssel");
    }
    void Insert() override { m_pending = Row{}; }
    void PutField(const std::string& name, const std::string& value) override {
        if (!m_pending) {
            m_current < rows.size() ? rows[m_current][name] = value : throw SelectlineError("kein Datensatz");
            return;
        }
        (*m_pending)[name] = value;
    }
    void Post() override {
        if (m_pending) {
            auto place = rows.end();
            if (m_sorted) {
                place = std::upper_bound(
                    rows.begin(), rows.end(), (*m_pending)["Adresstyp"],
                    [](const std::string& type, const Row& row) { return type < row.at("Adresstyp"); });
            }
            m_current = static_cast<std::size_t>(rows.insert(place, *m_pending) - rows.begin());
            m_pending.reset();
        }
        if (m_postGoesToFirst) {
            m_current = 0;
        }
    }

    std::vector<Row> rows;
    int moves = 0;
    int reads = 0;

private:
    bool m_sorted;
    bool m_postGoesToFirst;
    std::size_t m_current = 0;
    std::optional<Row> m_pending;
};

std::vector<ShiftingAddressTable::Row> StartingAddresses(bool sorted) {
    std::vector<ShiftingAddressTable::Row> rows = {
        {{"Adresstyp", "KUL30"}, {"Name", "alt 30"}},   {{"Adresstyp", "LIEF1"}, {"Name", "Lieferant"}},
        {{"Adresstyp", "KUL10"}, {"Name", "alt 10 a"}}, {{"Adresstyp", "KUL10"}, {"Name", "alt 10 b"}},
        {{"Adresstyp", "KUL50"}, {"Name", "alt 50"}},
    };
    if (sorted) {
        std::stable_sort(rows.begin(), rows.end(),
                         [](const auto& a, const auto& b) { return a.at("Adresstyp") < b.at("Adresstyp"); });
    }
    return rows;
}

struct Layout {
    bool sorted;
    bool postGoesToFirst;
};

class AddressFinderLayouts : public ::testing::TestWithParam<Layout> {};

// Known and new customers, in and against table order, one twice: the finder's records are the
// plain walk's records, whatever order the table keeps and wherever a post leaves it.
TEST_P(AddressFinderLayouts, GivesTheRecordsOfThePlainWalk) {
    std::string file = CustomerHeader();
    int name = 0;
    for (const std::string number : {"50", "20", "10", "30", "05", "60", "20", "40", "10", "99", "05"}) {
        file += CustomerLine(number, {{14, "neu " + std::to_string(++name)}});
    }
    TempFolder folder;
    const auto path = folder.Write("kundenstamm.csv", file);

    std::vector<std::vector<ShiftingAddressTable::Row>> results;
    for (const bool naive : {true, false}) {
        auto database = std::make_shared<MemoryDatabase>();
        database->Table("KU").columns = CustomerColumns();
        auto application = MakeMemorySelectline(database)();
        auto customers = application->CreateTable("KU");
        ShiftingAddressTable addresses(StartingAddresses(GetParam().sorted), GetParam().sorted,
                                       GetParam().postGoesToFirst);
        Journal journal;
        RecordingStatusArea status(journal);
        const CancelRequest cancel;
        ScriptedDialogs dialogs(journal);
        ImportCustomers(path, *customers, addresses, status, dialogs, cancel, {.naiveAddressWalk = naive});
        EXPECT_TRUE(status.errors.empty());
        results.push_back(addresses.rows);
    }
    EXPECT_EQ(results[0], results[1]);
    // The first of the two KUL10 records was updated, twice; the second one stayed.
    const auto& rows = results[1];
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [](const auto& row) { return row.at("Name") == "neu 9"; }), 1);
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [](const auto& row) { return row.at("Name") == "alt 10 b"; }), 1);
    EXPECT_EQ(rows.size(), 10u);
}

INSTANTIATE_TEST_SUITE_P(Layouts, AddressFinderLayouts,
                         ::testing::Values(Layout{false, false}, Layout{true, false}, Layout{false, true},
                                           Layout{true, true}));

TEST(AddressFinder, NewTypeNeedsNoWalkAndAKnownOneIsReachedFromTheCurrentRecord) {
    ShiftingAddressTable table({{{"Adresstyp", "A"}}, {{"Adresstyp", "B"}}, {{"Adresstyp", "C"}}}, false, false);
    AddressFinder finder(table, false);
    EXPECT_TRUE(finder.Find("A"));  // one walk over the table, then the move back to the first record
    const int movesAfterFirst = table.moves;
    const int readsAfterFirst = table.reads;
    EXPECT_FALSE(finder.Find("X"));
    EXPECT_EQ(table.moves, movesAfterFirst);
    EXPECT_TRUE(finder.Find("C"));
    EXPECT_EQ(table.moves, movesAfterFirst + 2);
    EXPECT_EQ(table.reads, readsAfterFirst + 1);
    EXPECT_EQ(table.GetField("Adresstyp").ToText(), "C");
}

TEST(AddressFinder, TableErrorIsPassedOnAndTheNextFindReadsTheTableAgain) {
    ShiftingAddressTable table({{{"Adresstyp", "A"}}}, false, false);
    AddressFinder finder(table, false);
    EXPECT_TRUE(finder.Find("A"));
    table.rows.clear();  // changed behind the finder's back
    finder.Forget();
    EXPECT_FALSE(finder.Find("A"));
}

}  // namespace
}  // namespace warenkai::test
