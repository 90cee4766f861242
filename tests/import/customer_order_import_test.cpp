#include "import/customer_order_import.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
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
const std::string kOrdersEntered =
    "status: Bestellungen: 1 eingetragen, 0 schon früher eingetragen, 0 nicht eingetragen";
const std::string kCloseSelectline =
    "message: Um Daten in Selectline zu importieren muß Selectline beendet werden. Sollten Sie Selectline geöffnet "
    "haben schließen Sie Selectline bitte.";

class CustomerOrderImportTest : public ::testing::Test, protected FakeTransferWorld {
protected:
    CustomerOrderImportTest() {
        SetShopAccess(settings,
                      {.ftpServer = "ftp.example.de", .ftpUser = "kunde", .shopLink = "https://shop.example.de"});
        settings.passiveMode = false;
        database->Table("KU").columns = CustomerColumns();
        database->Table("AD").columns = AddressColumns();
        database->Table("AR").Add({{"Artikelnummer", "4711"}});
        ftp.remoteFiles[kRemoteCustomers] = CustomerHeader() + CustomerLine("100", {{1, "Kunde Hundert"}});
        ftp.remoteFiles[kRemoteOrders] = OrderHeader() + OrderLine("1", "a", "100");
    }

    TransferOutcome Run() { return RunCustomerOrderImport(settings, context); }

    std::string Local(const std::string& name) const { return (folder / name).string(); }

    Lines DownloadJournal(bool customersArrive, bool ordersArrive) const {
        Lines lines = {"errors cleared",
                       "status: Exportiere Dateien vom Webshop",
                       "open: https://shop.example.de/login/admin/sonstiges/export/export2.php",
                       "message: Klicken Sie auf OK wenn die Datei fertig exportiert worden ist",
                       "status: Verbinde mit Webserver",
                       "ftp connect ftp.example.de|kunde|geheim|0x08000000",
                       "status: Verbindung erfolgreich",
                       "status: Übertrage des Kundenstamms",
                       "ftp download " + kRemoteCustomers + " -> " + Local("kundenstamm.csv")};
        if (customersArrive) {
            lines.insert(lines.end(), {"status: Kundenstamm erfolgreich übertragen"});
        } else {
            lines.insert(lines.end(),
                         {"status: Fehler beim übertragen des Kundenstammes", "error: Fehler: Kundenstamm"});
        }
        lines.insert(lines.end(), {"status: Übertrage der Bestellungen",
                                   "ftp download " + kRemoteOrders + " -> " + Local("bestellungen.csv")});
        if (ordersArrive) {
            lines.insert(lines.end(), {"status: Bestellungen erfolgreich übertragen"});
        } else {
            lines.insert(lines.end(),
                         {"status: Fehler beim übertragen der Bestellungen", "error: Fehler: Bestellungen"});
        }
        lines.insert(lines.end(), {"ftp disconnect", kCloseSelectline, "status: Selectline anmelden"});
        return lines;
    }
};

TEST_F(CustomerOrderImportTest, WholeRunInTheOrderTheUserSeesIt) {
    status.errors = {"Zeile eines früheren Laufs"};
    EXPECT_EQ(Run(), TransferOutcome::Completed);
    auto expected = DownloadJournal(true, true);
    expected.insert(expected.end(), {"status: Kundennummer: 100", kOrdersEntered, "message: Fertig"});
    EXPECT_EQ(journal.Entries(), expected);
    EXPECT_TRUE(status.errors.empty());
    ASSERT_EQ(database->Table("KU").rows.size(), 1u);
    EXPECT_EQ(database->Table("KU").rows[0].at("Name").ToText(), "Kunde Hundert");
    ASSERT_EQ(database->documents.size(), 1u);
    EXPECT_EQ(database->documents[0].address, "100");
    EXPECT_EQ(database->documents[0].positions.size(), 1u);
}

TEST_F(CustomerOrderImportTest, WithoutConnectionTheRunStillOpensSelectlineAndEndsWithFertig) {
    ftp.connectResults = {false};
    EXPECT_EQ(Run(), TransferOutcome::Completed);
    auto expected = DownloadJournal(true, true);
    expected.resize(6);  // up to the connection attempt
    expected.insert(expected.end(), {"status: Verbindung konnte nicht aufgebaut werden", kCloseSelectline,
                                     "status: Selectline anmelden", "message: Fehler beim öffnen von kundenstamm.csv",
                                     "message: Fehler beim öffnen von bestellungen.csv", "message: Fertig"});
    EXPECT_EQ(journal.Entries(), expected);
    EXPECT_TRUE(status.errors.empty());
}

TEST_F(CustomerOrderImportTest, FailedCustomerDownloadIsOneErrorLineAndTheOrdersAreEntered) {
    ftp.remoteFiles.erase(kRemoteCustomers);
    database->Table("KU").Add({{"Nummer", "100"}});
    Run();
    auto expected = DownloadJournal(false, true);
    expected.insert(expected.end(),
                    {"message: Fehler beim öffnen von kundenstamm.csv", kOrdersEntered, "message: Fertig"});
    EXPECT_EQ(journal.Entries(), expected);
    EXPECT_EQ(status.errors, (Lines{"Fehler: Kundenstamm"}));
    EXPECT_EQ(database->documents.size(), 1u);
}

TEST_F(CustomerOrderImportTest, FailedOrderDownloadIsOneErrorLineAndTheCustomersAreEntered) {
    ftp.remoteFiles.erase(kRemoteOrders);
    Run();
    auto expected = DownloadJournal(true, false);
    expected.insert(expected.end(), {"status: Kundennummer: 100", "message: Fehler beim öffnen von bestellungen.csv",
                                     "message: Fertig"});
    EXPECT_EQ(journal.Entries(), expected);
    EXPECT_EQ(status.errors, (Lines{"Fehler: Bestellungen"}));
    EXPECT_EQ(database->Table("KU").rows.size(), 1u);
}

// The exports on the server are an earlier run's when the export page failed (without browser: no
// 2xx answer in time): nothing is downloaded and nothing entered, and the error list says so.
TEST_F(CustomerOrderImportTest, AFailedExportPageStopsTheRunBeforeTheDownload) {
    web.opens = false;
    folder.Write("bestellungen.csv", OrderHeader() + OrderLine("1", "a", "100"));
    EXPECT_EQ(Run(), TransferOutcome::Completed);
    EXPECT_EQ(journal.Entries(), (Lines{"errors cleared", "status: Exportiere Dateien vom Webshop",
                                        "open: https://shop.example.de/login/admin/sonstiges/export/export2.php",
                                        std::string("status: ") + kExportPageFailedStatus,
                                        std::string("error: ") + kExportPageFailedLine}));
    EXPECT_FALSE(std::filesystem::exists(folder / "bestellungen.csv"));
    EXPECT_TRUE(database->documents.empty());
}

// Without a record it can trust the run does not begin: nothing is downloaded or entered.
TEST_F(CustomerOrderImportTest, ARecordThatCannotBeTrustedStopsTheRunAtOnce) {
    folder.Write(kOrderRecordFileName, "");
    EXPECT_EQ(Run(), TransferOutcome::Stopped);
    const std::string text = OrderRecordProblemText(folder / kOrderRecordFileName, "ist leer");
    EXPECT_EQ(journal.Entries(), (Lines{"errors cleared", std::string("status: ") + kTransferStoppedStatus,
                                        "error: " + text, "message: " + text}));
    EXPECT_EQ(folder.Read(kOrderRecordFileName), "");
}

TEST_F(CustomerOrderImportTest, ReadOnlyFilesOfAnEarlierRunAreRemovedBeforeTheDownload) {
    for (const std::string name : {"kundenstamm.csv", "bestellungen.csv"}) {
        const auto file = folder.Write(name, CustomerHeader() + CustomerLine("alt"));
        std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    }
    ftp.remoteFiles.clear();
    Run();
    EXPECT_FALSE(std::filesystem::exists(folder / "kundenstamm.csv"));
    EXPECT_FALSE(std::filesystem::exists(folder / "bestellungen.csv"));
    EXPECT_EQ(journal.Starting("message: Fehler beim"), (Lines{"message: Fehler beim öffnen von kundenstamm.csv",
                                                               "message: Fehler beim öffnen von bestellungen.csv"}));
    EXPECT_TRUE(database->Table("KU").rows.empty());
}

TEST_F(CustomerOrderImportTest, AddressesAreJoinedAsTheyStandAndPassiveModeIsAlwaysAsked) {
    settings.shopRoot = "/shop/";
    settings.shopLink = "https://shop.example.de/";
    settings.passiveMode = false;
    Run();
    EXPECT_EQ(web.opened, (Lines{"https://shop.example.de//login/admin/sonstiges/export/export2.php"}));
    EXPECT_EQ(
        journal.Starting("ftp "),
        (Lines{"ftp connect ftp.example.de|kunde|geheim|0x08000000",
               "ftp download /shop//login/admin/sonstiges/export/export/Exportkunde.csv -> " + Local("kundenstamm.csv"),
               "ftp download /shop//login/admin/sonstiges/export/export/Exportbestellung.csv -> " +
                   Local("bestellungen.csv"),
               "ftp disconnect"}));
}

TEST_F(CustomerOrderImportTest, SelectlineThatCannotBeStartedEndsTheRunWithItsText) {
    context.selectline = []() -> std::unique_ptr<SelectlineApplication> {
        throw SelectlineError("Selectline ist nicht installiert.");
    };
    EXPECT_EQ(Run(), TransferOutcome::Stopped);
    const auto messages = journal.Starting("message: ");
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), "message: Selectline ist nicht installiert.");
    EXPECT_EQ(status.statusText, kTransferStoppedStatus);
    EXPECT_EQ(status.errors, (Lines{"Selectline ist nicht installiert."}));
    // The downloads have happened; nothing was imported and "Fertig" never came.
    EXPECT_EQ(journal.Starting("ftp download ").size(), 2u);
    for (const auto& message : messages) {
        EXPECT_NE(message, "message: Fertig");
    }
}

}  // namespace
}  // namespace warenkai::test
