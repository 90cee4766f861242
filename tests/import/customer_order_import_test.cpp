#include "import/customer_order_import.h"

#include <gtest/gtest.h>

#include "import/order_record.h"
#include "tests/support/fake_transfer_world.h"
#include "tests/support/test_data.h"

namespace warenkai::test {
namespace {

const std::string kExports = "/shop/login/admin/sonstiges/export/export/";

class CustomerOrderImportTest : public ::testing::Test, protected FakeTransferWorld {
protected:
    CustomerOrderImportTest() {
        SetShopAccess(settings,
                      {.ftpServer = "ftp.example.de", .ftpUser = "kunde", .shopLink = "https://shop.example.de"});
        DeclareCustomerColumns(*database);
        database->Table("AR").Add({{"Artikelnummer", "4711"}});
        ftp.remoteFiles = {{kExports + "Exportkunde.csv", TestData("import/files/kunde_100.csv")},
                           {kExports + "Exportbestellung.csv", TestData("import/files/bestellung_1a.csv")}};
        ftp.failure = "550 No such file";
    }

    TransferOutcome Run() { return RunCustomerOrderImport(settings, context); }
    // What the user saw and the result line, the program folder written "<Ordner>/".
    std::string Seen() const { return Text(journal.Entries(), folder.path()) + "result: " + status.result + "\n"; }
};

// tests/data/import/runs/whole_run.txt. The shop's places are joined as they stand: a separator at
// the end of the one and at the start of the other are both kept.
TEST_F(CustomerOrderImportTest, WholeRunInTheOrderTheUserSeesIt) {
    settings.shopRoot = "/shop/";
    settings.shopLink = "https://shop.example.de/";
    for (const auto& [remote, bytes] : std::map(ftp.remoteFiles)) {
        ftp.remoteFiles["/shop/" + remote.substr(5)] = bytes;
    }
    EXPECT_EQ(Run(), TransferOutcome::Completed);
    EXPECT_EQ(Seen(), TestData("import/runs/whole_run.txt"));
    ASSERT_EQ(database->documents.size(), 1u);
    EXPECT_EQ(database->documents[0].address, "100");
}

// tests/data/import/runs/failed_downloads.txt: no connection, or one export missing on the server.
// Files of an earlier run are removed first, so a failed download never imports them again; what
// did arrive is entered, and each failure is one line with the server's reason.
TEST_F(CustomerOrderImportTest, AFailedDownloadIsListedWithItsCauseAndWhatArrivedIsEntered) {
    database->Table("KU").Add({{"Nummer", "100"}});
    for (const auto& [missing, expected] : Cases("import/runs/failed_downloads.txt")) {
        folder.Write("kundenstamm.csv", TestData("import/files/kunde_100.csv"));
        folder.Write("bestellungen.csv", TestData("import/files/bestellung_1a.csv"));
        journal.Clear();
        ftp.connectResults = {missing != "Verbindung"};
        const auto remote = ftp.remoteFiles;
        ftp.remoteFiles.erase(kExports + missing);
        Run();
        ftp.remoteFiles = remote;
        EXPECT_EQ(Seen(), Text(expected)) << missing;
    }
}

// The exports on the server are an earlier run's when the export page failed (without browser: no
// 2xx answer in time): nothing is downloaded and nothing entered, and the error list says so
// (tests/data/import/runs/export_page_failed.txt).
TEST_F(CustomerOrderImportTest, AFailedExportPageStopsTheRunBeforeTheDownload) {
    web.opens = false;
    folder.Write("bestellungen.csv", TestData("import/files/bestellung_1a.csv"));
    EXPECT_EQ(Run(), TransferOutcome::Completed);
    EXPECT_EQ(Seen(), TestData("import/runs/export_page_failed.txt"));
    EXPECT_FALSE(std::filesystem::exists(folder / "bestellungen.csv"));
    EXPECT_TRUE(database->documents.empty());
}

// Without a record it can trust the run does not begin: nothing is downloaded or entered
// (tests/data/import/runs/untrusted_record.txt).
TEST_F(CustomerOrderImportTest, ARecordThatCannotBeTrustedStopsTheRunAtOnce) {
    folder.Write(kOrderRecordFileName, "");
    EXPECT_EQ(Run(), TransferOutcome::Stopped);
    EXPECT_EQ(Seen(), TestData("import/runs/untrusted_record.txt"));
    EXPECT_EQ(folder.Read(kOrderRecordFileName), "");
}

// A cancel is taken before the next order begins and the result says how far the run came; the next
// run enters the orders not yet entered.
TEST_F(CustomerOrderImportTest, ACancelSaysHowFarTheRunCameAndTheNextRunEntersTheRest) {
    ftp.remoteFiles[kExports + "Exportbestellung.csv"] = TestData("import/files/bestellungen_3.csv");
    database->Table("KU").Add({{"Nummer", "200"}});
    database->onCall = [this](const std::string& call) {
        if (call == "Save 1") {
            cancel.Request();
        }
    };
    EXPECT_EQ(Run(), TransferOutcome::Cancelled);
    EXPECT_EQ(status.result, "Abgebrochen nach 2 von 3 Bestellzeilen; 1 Kunde neu, 0 geändert, 0 Zeilen fehlerhaft");
    database->onCall = nullptr;
    const CancelRequest notCancelled;
    TransferContext next{status, dialogs, web, ftp, context.selectline, folder.path(), notCancelled};
    EXPECT_EQ(RunCustomerOrderImport(settings, next), TransferOutcome::Completed);
    EXPECT_EQ(
        status.result,
        "0 Kunden neu, 1 geändert, 0 Zeilen fehlerhaft; 1 Bestellung eingetragen, 1 bereits eingetragen, 0 fehlerhaft");
    EXPECT_EQ(database->documents.size(), 2u);
}

}  // namespace
}  // namespace warenkai::test
