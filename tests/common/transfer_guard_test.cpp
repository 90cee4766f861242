#include "common/transfer_guard.h"

#include <stdexcept>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/fake_ui.h"

namespace warenkai {
namespace {

using ::testing::ElementsAre;

TEST(TransferGuard, AnErrorEndsTheTransferWithStatusErrorLineAndMessage) {
    test::Journal journal;
    test::RecordingStatusArea status(journal);
    test::ScriptedDialogs dialogs(journal);
    const auto outcome = RunTransfer(status, dialogs, [&] {
        status.SetStatusText("Auslesen von Artikeln aus Selectline");
        throw std::runtime_error("Das Feld Gewicht2 gibt es in der Tabelle AR nicht");
    });
    EXPECT_EQ(outcome, TransferOutcome::Stopped);
    EXPECT_THAT(journal.Entries(),
                ElementsAre("status: Auslesen von Artikeln aus Selectline", "status: Die Übertragung wurde abgebrochen",
                            "error: Das Feld Gewicht2 gibt es in der Tabelle AR nicht",
                            "message: Das Feld Gewicht2 gibt es in der Tabelle AR nicht"));
}

TEST(TransferGuard, ATransferThatEndsNormallyIsCompleted) {
    test::Journal journal;
    test::RecordingStatusArea status(journal);
    test::ScriptedDialogs dialogs(journal);
    EXPECT_EQ(RunTransfer(status, dialogs, [] {}), TransferOutcome::Completed);
    EXPECT_TRUE(journal.Entries().empty());
}

}  // namespace
}  // namespace warenkai
