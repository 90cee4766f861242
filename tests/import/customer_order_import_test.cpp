#include "import/customer_order_import.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "import/order_record.h"
#include "import/shop_export_download.h"
#include "tests/import/import_test_files.h"
#include "tests/support/fake_transfer_world.h"

namespace warenkai::test {
namespace {

using Lines = std::vector<std::string>;

const std::string kRemoteCustomers = "/shop/login/admin/sonstiges/export/export/Exportkunde.csv";
const std::string kRemoteOrders = "/shop/login/admin/sonstiges/export/export/Exportbestellung.csv";
const std::string kExportPage = "https://shop.example.de/login/admin/sonstiges/export/export2.php";

class CustomerOrderImportTest : public ::testing::Test, protected FakeTransferWorld {
protected:
    CustomerOrderImportTest() {
        SetShopAccess(settings,
                      {.ftpServer = "ftp.example.de", .ftpUser = "kunde", .shopLink = "https://shop.example.de"});
        database->Table("KU").columns = CustomerColumns();
        database->Table("AD").columns = AddressColumns();
        database->Table("AR").Add({{"Artikelnummer", "4711"}});
        ftp.remoteFiles[kRemoteCustomers] = CustomerHeader() + CustomerLine("100", {{1, "Kunde Hundert"}});
        ftp.remoteFiles[kRemoteOrders] = OrderHeader() + OrderLine("1", "a", "100");
        ftp.failure = "550 No such file";
    }

    TransferOutcome Run() { return RunCustomerOrderImport(settings, context); }
    std::string Local(const std::string& name) const { return (folder / name).string(); }
};

TEST_F(CustomerOrderImportTest, WholeRunInTheOrderTheUserSeesIt) {
    status.errors = {"Zeile eines früheren Laufs"};
    EXPECT_EQ(Run(), TransferOutcome::Completed);
    EXPECT_EQ(journal.Entries(),
              (Lines{"errors cleared", "status: Exportiere Dateien vom Webshop", "open: " + kExportPage,
                     "message: Klicken Sie auf OK wenn die Datei fertig exportiert worden ist",
                     "status: Verbinde mit Webserver", "ftp connect ftp.example.de|kunde|geheim|0x08000000",
                     "status: Verbindung erfolgreich", "status: Übertrage des Kundenstamms",
                     "ftp download " + kRemoteCustomers + " -> " + Local("kundenstamm.csv"),
                     "status: Kundenstamm erfolgreich übertragen", "status: Übertrage der Bestellungen",
                     "ftp download " + kRemoteOrders + " -> " + Local("bestellungen.csv"),
                     "status: Bestellungen erfolgreich übertragen", "ftp disconnect",
                     "message: Um Daten in Selectline zu importieren muß Selectline beendet werden. Sollten Sie "
                     "Selectline geöffnet haben schließen Sie Selectline bitte.",
                     "status: Selectline anmelden", "status: Kundennummer: 100",
                     "status: Bestellungen: 1 eingetragen, 0 schon früher eingetragen, 0 nicht eingetragen",
                     "message: Fertig"}));
    EXPECT_TRUE(status.errors.empty());
    EXPECT_EQ(status.result,
              "1 Kunde neu, 0 geändert, 0 Zeilen fehlerhaft; 1 Bestellung eingetragen, 0 bereits eingetragen, 0 "
              "fehlerhaft");
    ASSERT_EQ(database->documents.size(), 1u);
    EXPECT_EQ(database->documents[0].address, "100");
}

// Files of an earlier run are removed first, so a failed download never imports them again; what
// did arrive is entered, and each failure is one line with the server's reason.
TEST_F(CustomerOrderImportTest, AFailedDownloadIsListedWithItsCauseAndWhatArrivedIsEntered) {
    struct Case {
        bool connects;
        const char* missingRemote;
        Lines errors;
        std::size_t documents;
        const char* result;
    };
    const Case cases[] = {
        {false, "", {"Fehler: Verbindung konnte nicht aufgebaut werden"}, 0, "Nichts eingetragen"},
        {true, "Exportkunde.csv", {"Fehler: Kundenstamm"}, 1,
         "1 Bestellung eingetragen, 0 bereits eingetragen, 0 fehlerhaft"},
        {true, "Exportbestellung.csv", {"Fehler: Bestellungen"}, 0, "0 Kunden neu, 1 geändert, 0 Zeilen fehlerhaft"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.missingRemote);
        database->Table("KU").rows.clear();
        database->Table("KU").Add({{"Nummer", "100"}});
        database->documents.clear();
        std::filesystem::remove(folder / kOrderRecordFileName);
        folder.Write("kundenstamm.csv", CustomerHeader() + CustomerLine("alt"));
        folder.Write("bestellungen.csv", OrderHeader() + OrderLine("9", "z", "100"));
        ftp.connectResults = {c.connects};
        auto remote = ftp.remoteFiles;
        remote.erase(std::string("/shop/login/admin/sonstiges/export/export/") + c.missingRemote);
        std::swap(remote, ftp.remoteFiles);
        Run();
        std::swap(remote, ftp.remoteFiles);
        EXPECT_EQ(status.errors, c.errors);
        EXPECT_EQ(status.causes, Lines{"550 No such file"});
        EXPECT_EQ(database->documents.size(), c.documents);
        EXPECT_EQ(status.result, c.result);
    }
}

// The exports on the server are an earlier run's when the export page failed (without browser: no
// 2xx answer in time): nothing is downloaded and nothing entered, and the error list says so.
TEST_F(CustomerOrderImportTest, AFailedExportPageStopsTheRunBeforeTheDownload) {
    web.opens = false;
    folder.Write("bestellungen.csv", OrderHeader() + OrderLine("1", "a", "100"));
    EXPECT_EQ(Run(), TransferOutcome::Completed);
    EXPECT_EQ(
        journal.Entries(),
        (Lines{"errors cleared", "status: Exportiere Dateien vom Webshop", "open: " + kExportPage,
               "error: Fehler: Seite " + kExportPage + " nicht geöffnet [HTTP 500]",
               std::string("status: ") + kExportPageFailedStatus, std::string("error: ") + kExportPageFailedLine}));
    EXPECT_FALSE(std::filesystem::exists(folder / "bestellungen.csv"));
    EXPECT_TRUE(database->documents.empty());
    EXPECT_EQ(status.result, "Nichts eingetragen");
}

// Without a record it can trust the run does not begin: nothing is downloaded or entered.
TEST_F(CustomerOrderImportTest, ARecordThatCannotBeTrustedStopsTheRunAtOnce) {
    folder.Write(kOrderRecordFileName, "");
    EXPECT_EQ(Run(), TransferOutcome::Stopped);
    const std::string text = OrderRecordProblemText(folder / kOrderRecordFileName, "ist leer");
    EXPECT_EQ(journal.Entries(), (Lines{"errors cleared", std::string("status: ") + kTransferStoppedStatus,
                                        "error: " + text, "message: " + text}));
    EXPECT_EQ(folder.Read(kOrderRecordFileName), "");
    EXPECT_EQ(status.result, "Wegen eines Fehlers beendet; Nichts eingetragen");
}

TEST_F(CustomerOrderImportTest, ACancelSaysHowFarTheRunCame) {
    ftp.remoteFiles[kRemoteOrders] = OrderHeader() + OrderLine("1", "a", "100") + OrderLine("2", "b", "100");
    status.onStatus = [this](const std::string& text) {
        if (text.starts_with("Kundennummer")) {
            cancel.Request();  // after the only customer: taken before the first order
        }
    };
    EXPECT_EQ(Run(), TransferOutcome::Cancelled);
    EXPECT_EQ(status.result, "Abgebrochen nach 0 von 2 Bestellzeilen; 1 Kunde neu, 0 geändert, 0 Zeilen fehlerhaft");
}

TEST_F(CustomerOrderImportTest, AddressesAreJoinedAsTheyStand) {
    settings.shopRoot = "/shop/";
    settings.shopLink = "https://shop.example.de/";
    Run();
    EXPECT_EQ(web.opened, (Lines{"https://shop.example.de//login/admin/sonstiges/export/export2.php"}));
    EXPECT_EQ(
        journal.Starting("ftp download"),
        (Lines{"ftp download /shop//login/admin/sonstiges/export/export/Exportkunde.csv -> " + Local("kundenstamm.csv"),
               "ftp download /shop//login/admin/sonstiges/export/export/Exportbestellung.csv -> " +
                   Local("bestellungen.csv")}));
}

}  // namespace
}  // namespace warenkai::test
