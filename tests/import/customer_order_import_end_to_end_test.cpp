// The customer and order run against a real FTP server (pyftpdlib) and the SQLite Selectline
// stand-in, with the libcurl FTP control the program uses.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/transfer_context.h"
#include "import/customer_order_import.h"
#include "selectline/selectline_application.h"
#include "selectline/standin/standin_selectline.h"
#include "settings/settings.h"
#include "shop/curl/curl_ftp_control.h"
#include "tests/import/import_test_files.h"
#include "tests/support/fake_transfer_world.h"
#include "tests/support/ftp_test_server.h"
#include "tests/support/sqlite_file.h"
#include "tests/support/temp_folder.h"

namespace warenkai::test {
namespace {

using Lines = std::vector<std::string>;

const std::string kExportFolder = "/shop/login/admin/sonstiges/export/export/";

class CustomerOrderImportEndToEnd : public ::testing::Test, protected WindowFakes {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Running()) << server.StartError();
        settings.ftpServer = server.Address();
        settings.ftpUser = FtpTestServer::kUser;
        settings.ftpPassword = FtpTestServer::kPassword;
        settings.shopRoot = "/shop";
        settings.shopLink = "https://shop.example.de";
        server.MakeFolder(kExportFolder);
        // The shop writes Windows-1252.
        server.WriteFile(kExportFolder + "Exportkunde.csv", CustomerHeader() +
                                                                CustomerLine("20001", {{1,
                                                                                        "M\xFC"
                                                                                        "ller, Hans"},
                                                                                       {5, "K\xF6ln"},
                                                                                       {14, "Lager"},
                                                                                       {19, "Rechnung"},
                                                                                       {24, "Privat"}}) +
                                                                CustomerLine("20002", {{1,
                                                                                        "Gro\xDF"
                                                                                        "handel"}}));
        // Two orders, the first with two lines; 10001 and 10002 are articles of the demo company.
        auto first = Order("1", "a", "20001");
        first.article = "10001";
        auto second = Order("1", "a", "20001");
        second.article = "10002";
        second.quantity = "1";
        second.unitPrice = "29.9";
        auto third = Order("2", "b", "20002");
        third.article = "10001";
        server.WriteFile(kExportFolder + "Exportbestellung.csv",
                         OrderHeader() + OrderLine(first) + OrderLine(second) + OrderLine(third));
    }

    TransferOutcome Run() {
        CurlFtpOptions options;
        options.connectTimeout = std::chrono::seconds(5);
        options.stallTimeout = std::chrono::seconds(2);
        options.responseTimeout = std::chrono::seconds(2);
        const auto ftp = MakeCurlFtpControlWith(options);
        TransferContext context{status, dialogs, web, *ftp, MakeStandinSelectline(databaseFile), folder.path(), cancel};
        return RunCustomerOrderImport(settings, context);
    }

    // The user-visible journal: statuses, error lines and message boxes.
    Lines Seen() const { return journal.Without({"pause"}); }

    FtpTestServer server;
    TempFolder folder;
    std::filesystem::path databaseFile = folder / "Selectline.sqlite";
    Settings settings;
};

TEST_F(CustomerOrderImportEndToEnd, BothExportsAreDownloadedAndEntered) {
    EXPECT_EQ(Run(), TransferOutcome::Completed);
    EXPECT_TRUE(status.errors.empty()) << ::testing::PrintToString(status.errors);
    EXPECT_EQ(Seen().back(), "message: Fertig");
    EXPECT_EQ(status.result,
              "2 Kunden neu, 0 geändert, 0 Zeilen fehlerhaft; 2 Bestellungen eingetragen, 0 bereits eingetragen, 0 "
              "fehlerhaft");
    EXPECT_EQ(folder.Read("kundenstamm.csv"), server.ReadFile(kExportFolder + "Exportkunde.csv"));

    EXPECT_EQ(
        QueryColumn(databaseFile,
                    "SELECT Name || '|' || Ort || '|' || ifnull(FreierText2, '') || '|' || ifnull(RefAdresse, '') "
                    "FROM KU WHERE Nummer IN ('20001', '20002', 'R20001') ORDER BY rowid"),
        (Lines{"Müller, Hans|Köln|Kundenart: Privat|R20001", "Rechnung|||", "Großhandel||Kundenart: |"}));
    EXPECT_EQ(QueryColumn(databaseFile, "SELECT Name FROM AD WHERE Adresstyp = 'KUL20001'"), (Lines{"Lager"}));
    EXPECT_EQ(QueryColumn(databaseFile,
                          "SELECT Belegart || '|' || Adresse || '|' || (SELECT count(*) FROM BELEGPOS P "
                          "WHERE P.Belegnummer = B.Belegnummer) FROM BELEG B ORDER BY Belegnummer"),
              (Lines{"B|20001|2", "B|20002|1"}));
    EXPECT_EQ(QueryColumn(databaseFile,
                          "SELECT Menge || '|' || Artikelnummer || '|' || Einzelpreis || '|' || SteuerProzent "
                          "|| '|' || Gesamtpreis FROM BELEGPOS ORDER BY Belegnummer, Position"),
              (Lines{"2.0|10001|9.95|19,00|19,90", "1.0|10002|29.9|19,00|19,90", "2.0|10001|9.95|19,00|19,90"}));
}

// The server's refusal travels with the error line; a copy from an earlier run is not imported in place
// of the failed download.
TEST_F(CustomerOrderImportEndToEnd, FailedOrderDownloadIsReportedWithItsCauseAndTheCustomersAreStillEntered) {
    folder.Write("bestellungen.csv", server.ReadFile(kExportFolder + "Exportbestellung.csv").value());
    std::filesystem::remove(server.PathOf(kExportFolder + "Exportbestellung.csv"));
    EXPECT_EQ(Run(), TransferOutcome::Completed);
    EXPECT_EQ(status.errors, (Lines{"Fehler: Bestellungen"}));
    EXPECT_NE(status.causes[0].find("550"), std::string::npos) << status.causes[0];
    EXPECT_EQ(journal.Starting("message: Fehler"), (Lines{"message: Fehler beim öffnen von bestellungen.csv"}));
    EXPECT_FALSE(std::filesystem::exists(folder / "bestellungen.csv"));
    EXPECT_EQ(QueryColumn(databaseFile, "SELECT Nummer FROM KU WHERE Nummer LIKE '2000%' ORDER BY rowid"),
              (Lines{"20001", "20002"}));
    EXPECT_TRUE(QueryColumn(databaseFile, "SELECT Belegnummer FROM BELEG").empty());
    EXPECT_EQ(status.result, "2 Kunden neu, 0 geändert, 0 Zeilen fehlerhaft");
}

}  // namespace
}  // namespace warenkai::test
