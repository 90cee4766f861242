#include "import/customer_order_import.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "import/customer_import.h"
#include "import/order_record.h"
#include "tests/support/fake_transfer_world.h"
#include "tests/support/test_data.h"

namespace warenkai::test {
namespace {

// tests/data/import/runs.txt: per case what differs from a run that finds the shop's exports of one
// customer and one order on the server and the files of an earlier run in the program folder; then
// what the user sees, the result line, the outcome, the documents saved, the run's files left and the
// lines of the order record.
TEST(CustomerOrderImport, RunsAsTheUserSeesThem) {
    for (const auto& [change, expected] : Cases("import/runs.txt")) {
        FakeTransferWorld w;
        // The shop's folder and link end in a separator: the places are joined as they stand, both kept.
        SetShopAccess(w.settings, {.shopRoot = "/shop/", .shopLink = "https://shop.example.de/"});
        DeclareCustomerColumns(*w.database);
        w.database->Table("AR").Add({{"Artikelnummer", "4711"}});
        // The customer of the third order line; the order's own when the customer export is missing.
        w.database->Table("KU").Add({{"Nummer", change == "Exportkunde.csv" ? "100" : "200"}});
        const std::string exports = w.settings.shopRoot + "/login/admin/sonstiges/export/export/";
        const bool cancels = change == "Abbruch";  // after the first of three order lines
        w.ftp.remoteFiles = {{exports + "Exportkunde.csv", TestData("import/files/kunde_100.csv")},
                             {exports + "Exportbestellung.csv", TestData(cancels ? "import/files/bestellungen_3.csv"
                                                                                 : "import/files/bestellung_1a.csv")}};
        w.ftp.remoteFiles.erase(exports + change);
        w.ftp.failure = "550 No such file";
        w.ftp.connectResults = {change != "Verbindung"};
        w.web.opens = change != "Exportseite";
        w.folder.Write(kCustomerFileName, TestData("import/files/kunde_100.csv"));
        w.folder.Write("bestellungen.csv", TestData("import/files/bestellung_1a.csv"));
        w.folder.Write(kOrderRecordFileName,
                       change == "Protokoll leer" ? "" : std::string(kOrderRecordHeader) + "\r\n");
        w.database->onCall = [&w, cancels](const std::string& call) {
            if (cancels && call == "Save 1") {
                w.cancel.Request();
            }
        };
        std::string seen;
        const CancelRequest notCancelled;  // the run after a cancel enters the orders not yet entered
        TransferContext next{w.status, w.dialogs, w.web, w.ftp, w.context.selectline, w.folder.path(), notCancelled};
        for (int run = 0; run <= int{cancels}; ++run) {
            const int outcome = static_cast<int>(RunCustomerOrderImport(w.settings, run == 0 ? w.context : next));
            const auto exists = [&w](const std::string& file) { return std::filesystem::exists(w.folder / file); };
            seen += Text(w.journal.Entries(), w.folder.path()) + "result: " + w.status.result + "\noutcome " +
                    std::to_string(outcome) + ", documents " + std::to_string(w.database->documents.size()) +
                    (exists(kCustomerFileName) ? ", kundenstamm.csv" : "") +
                    (exists("bestellungen.csv") ? ", bestellungen.csv" : "") + ", record lines " +
                    std::to_string(std::ranges::count(w.folder.Read(kOrderRecordFileName), '\n')) + "\n";
            w.journal.Clear();
        }
        EXPECT_EQ(seen, Text(expected)) << change;
    }
}

}  // namespace
}  // namespace warenkai::test
