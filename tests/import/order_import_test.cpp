#include "import/order_import.h"

#include <gtest/gtest.h>

#include "import/order_record.h"
#include "tests/support/fake_transfer_world.h"
#include "tests/support/test_data.h"

namespace warenkai::test {
namespace {

class OrderImportTest : public ::testing::Test, protected FakeTransferWorld {
protected:
    OrderImportResult Import(const std::filesystem::path& file) {
        OrderRecord record(folder / kOrderRecordFileName, [] { return std::string("2024-05-03 14:22:06"); });
        auto application = MakeMemorySelectline(database)();
        return ImportOrders(file, {*application, *application->CreateTable("KU"), *application->CreateTable("AR")},
                            record, status, dialogs, cancel);
    }
};

// tests/data/import/orders: orders told apart by every part of their identity, a first field with a
// quote left in it, document and detail texts, amounts with two decimals, lines of an order apart
// from it, lines without identity or with another field count, amounts that are no numbers, an
// unknown customer and article, a position and a document that Selectline refuses to save, orders
// the record knows (entered, entered with another number of positions, begun and never finished):
// what the user sees, the calls (with the record's last mark whenever a document is created) and the
// record. The second run, with the customer and article added and nothing refused, enters
// exactly the orders that were not entered.
TEST_F(OrderImportTest, BestellungenAsExpectedAndASecondRunEntersTheRest) {
    database->Table("KU").Add({{"Nummer", "100"}}).Add({{"Nummer", "200"}}).Add({{"Nummer", "300"}});
    database->Table("AR").Add({{"Artikelnummer", "4711"}}).Add({{"Artikelnummer", "0815"}});
    folder.Write(kOrderRecordFileName, TestData("import/orders/record_before.txt"));
    std::string customer;
    bool refuse = true;
    database->recordCalls = true;
    database->onCall = [&](const std::string& call) {
        if (call == "NeuerBelegAuto B") {
            const std::string record = folder.Read(kOrderRecordFileName);
            const std::size_t last = record.rfind("\r\n", record.size() - 3) + 2;
            database->calls.push_back("mark: " + record.substr(last, record.size() - 2 - last));
        }
        customer = call.starts_with("SetAdresse ") ? call.substr(11) : customer;
        if (refuse && ((call == "Save" && customer == "300") || call == "SetBezeichnung Gesperrt")) {
            throw SelectlineError(call + ": gesperrt");
        }
    };
    std::string seen;
    for (int run = 1; run <= 2; ++run) {
        journal.Clear();
        database->calls.clear();
        Import(std::filesystem::path(WARENKAI_TEST_DATA) / "import" / "orders" / "bestellungen.csv");
        seen += "-- run " + std::to_string(run) + "\n" + Text(journal.Entries()) + "-- calls\n" +
                Text(database->calls) + "-- record\n" + folder.Read(kOrderRecordFileName);
        database->Table("KU").Add({{"Nummer", "999"}});
        database->Table("AR").Add({{"Artikelnummer", "9999"}});
        refuse = false;
    }
    EXPECT_EQ(seen, TestData("import/orders/expected.txt"));
}

TEST_F(OrderImportTest, AFolderInTheFilesPlaceCannotBeOpened) {
    database->Table("KU"), database->Table("AR");  // tables without records
    std::filesystem::create_directory(folder / "bestellungen.csv");
    EXPECT_FALSE(Import(folder / "bestellungen.csv").fileOpened);
    EXPECT_EQ(journal.Entries(), Lines{"message: Fehler beim öffnen von bestellungen.csv"});
}

}  // namespace
}  // namespace warenkai::test
