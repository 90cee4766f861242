#include "shop/transfer_progress.h"

#include <gtest/gtest.h>

#include <limits>

#include "tests/support/fake_ui.h"
#include "tests/support/journal.h"

namespace warenkai::test {
namespace {

class TransferProgressTest : public ::testing::Test {
protected:
    // The bar's value after one progress event, starting from 37 with maximum 250.
    int ValueAfter(std::int64_t total, std::int64_t done) {
        status.progressValue = 37;
        status.progressMaximum = 250;
        ShowTransferProgress(status, total, done);
        EXPECT_EQ(status.progressMaximum, 100);
        return status.progressValue;
    }

    Journal journal;
    RecordingStatusArea status{journal};
};

TEST_F(TransferProgressTest, ValueIsThePercentageRoundedHalfToEvenAndOnlyInsideTheBar) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    const struct {
        std::int64_t total, done;
        int expected;
    } rows[] = {
        // The percentage done.
        {1000, 0, 0}, {1000, 250, 25}, {3, 1, 33}, {3, 2, 67}, {1000, 1000, 100}, {200LL << 20, 100LL << 20, 50},
        // Halves go to the even neighbour: 12.5, 13.5, 0.5, 1.5, 99.5, 98.5, 12.5, 12.6, 12.4.
        {8, 1, 12}, {200, 27, 14}, {200, 1, 0}, {200, 3, 2}, {200, 199, 100}, {200, 197, 98}, {1000, 125, 12},
        {1000, 126, 13}, {1000, 124, 12},
        // Outside the bar (101, -1, -50, huge) the value stays; rounded into the range it is taken.
        {100, 101, 37}, {100, -1, 37}, {-100, 50, 37}, {1, kMax, 37}, {1000, 1004, 100}, {-100, -50, 50},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ValueAfter(row.total, row.done), row.expected) << row.total << " " << row.done;
    }
}

TEST_F(TransferProgressTest, TotalZeroLeavesTheValueWithMaximum100) {
    EXPECT_EQ(ValueAfter(0, 0), 37);
    EXPECT_EQ(ValueAfter(0, 500), 37);
    EXPECT_EQ(status.progressLog, (std::vector<std::string>{"max 100", "max 100"}));
}

}  // namespace
}  // namespace warenkai::test
