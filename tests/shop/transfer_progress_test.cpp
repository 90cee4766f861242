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

TEST_F(TransferProgressTest, ValueIsThePercentageDone) {
    EXPECT_EQ(ValueAfter(1000, 0), 0);
    EXPECT_EQ(ValueAfter(1000, 250), 25);
    EXPECT_EQ(ValueAfter(3, 1), 33);
    EXPECT_EQ(ValueAfter(3, 2), 67);
    EXPECT_EQ(ValueAfter(1000, 1000), 100);
    EXPECT_EQ(ValueAfter(std::int64_t{200} << 20, std::int64_t{100} << 20), 50);
}

TEST_F(TransferProgressTest, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(ValueAfter(8, 1), 12);        // 12.5
    EXPECT_EQ(ValueAfter(200, 27), 14);     // 13.5
    EXPECT_EQ(ValueAfter(200, 1), 0);       // 0.5
    EXPECT_EQ(ValueAfter(200, 3), 2);       // 1.5
    EXPECT_EQ(ValueAfter(200, 199), 100);   // 99.5
    EXPECT_EQ(ValueAfter(200, 197), 98);    // 98.5
    EXPECT_EQ(ValueAfter(1000, 125), 12);   // 12.5
    EXPECT_EQ(ValueAfter(1000, 126), 13);   // 12.6
    EXPECT_EQ(ValueAfter(1000, 124), 12);   // 12.4
}

TEST_F(TransferProgressTest, TotalZeroLeavesTheValueWithMaximum100) {
    EXPECT_EQ(ValueAfter(0, 0), 37);
    EXPECT_EQ(ValueAfter(0, 500), 37);
    EXPECT_EQ(status.progressLog, (std::vector<std::string>{"max 100", "max 100"}));
}

TEST_F(TransferProgressTest, ResultsOutsideTheBarLeaveTheValue) {
    EXPECT_EQ(ValueAfter(100, 101), 37);    // 101
    EXPECT_EQ(ValueAfter(100, -1), 37);     // -1
    EXPECT_EQ(ValueAfter(-100, 50), 37);    // -50
    EXPECT_EQ(ValueAfter(1, std::numeric_limits<std::int64_t>::max()), 37);
    // Rounded into the range: as the bar would take it.
    EXPECT_EQ(ValueAfter(1000, 1004), 100);  // 100.4
    EXPECT_EQ(ValueAfter(-100, -50), 50);
}

}  // namespace
}  // namespace warenkai::test
