#include "shop/shop_connection.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "shop/connection_check.h"
#include "shop/transfer_progress.h"
#include "tests/support/fake_transfer_world.h"
#include "tests/support/test_data.h"

// The shop connection, its progress bar and the connection check. The callers' tests show the
// connection's journal (announce, connect with their flags, report, disconnect only after a
// successful connect); these are the rules they do not reach.
namespace warenkai::test {
namespace {

class ShopConnectionTest : public ::testing::Test, protected FakeTransferWorld {};

// While the connection stands its transfers move the bar; an error in them still disconnects.
TEST_F(ShopConnectionTest, TransfersMoveTheBarAndAnErrorInThemStillDisconnects) {
    const auto transfers = [this] {
        ftp.RaiseProgress(200, 100);
        throw std::runtime_error("Fehler");
    };
    EXPECT_THROW(ShopConnection(settings, context, {}, transfers), std::runtime_error);
    ftp.RaiseProgress(200, 200);
    EXPECT_EQ(status.progressLog, (std::vector<std::string>{"max 100", "value 50"}));
    EXPECT_EQ(journal.Entries().back(), "ftp disconnect");
}

// tests/data/shop/progress_bar.txt: the percentage rounded half to even, and only inside the bar.
TEST_F(ShopConnectionTest, TheBarShowsThePercentageRoundedHalfToEvenAndOnlyInsideTheBar) {
    for (const auto& [input, expected] : Cases("shop/progress_bar.txt")) {
        status.progressValue = 37;
        status.progressMaximum = 250;
        std::int64_t total = 0, done = 0;
        std::istringstream(input) >> total >> done;
        ShowTransferProgress(status, total, done);
        EXPECT_EQ(Lines{std::to_string(status.progressMaximum) + " " + std::to_string(status.progressValue)}, expected)
            << input;
    }
}

// tests/data/shop/connection_checks.txt: what worked and what not, without the password; logged out
// again after a successful log-in.
TEST_F(ShopConnectionTest, CheckSaysWhatWorkedAndWhatNotWithoutThePassword) {
    settings.ftpServer = "ftp.example.de";
    settings.ftpPassword = "ge@heim";
    ftp.failure = "Access denied: 530";  // told only when the log-in failed
    for (const auto& [input, expected] : Cases("shop/connection_checks.txt")) {
        Lines row;  // log-in works, shop link, page answered, its answer
        std::istringstream fields(input + "|");
        for (std::string field; std::getline(fields, field, '|');) {
            row.push_back(field);
        }
        journal.Clear();
        ftp.connectResults = {row.at(0) == "1"};
        settings.shopLink = row.at(1);
        // A page checker asked for another address, or for none, spoils the text.
        const auto checkPage = [&](const std::string& link) {
            return link == row[1] ? PageAnswer{row.at(2) == "1", row.at(3)} : PageAnswer{};
        };
        const std::string text = CheckShopConnection(settings, ftp, checkPage);
        EXPECT_EQ(text + "\n" + Text(journal.Starting("ftp disconnect")), Text(expected)) << input;
    }
}

}  // namespace
}  // namespace warenkai::test
