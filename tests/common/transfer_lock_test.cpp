#include "common/transfer_lock.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

namespace warenkai::test {
namespace {

TEST(TransferLock, IsTakenInAFolderWithoutLockFileAndLeavesTheFileBehind) {
    TempFolder folder;
    {
        TransferLock lock(folder.path());
        EXPECT_TRUE(lock.Held());
        EXPECT_EQ(lock.RefusalText(), "");
        EXPECT_TRUE(std::filesystem::is_regular_file(folder / kTransferLockFileName));
    }
    EXPECT_TRUE(std::filesystem::is_regular_file(folder / kTransferLockFileName));
}

TEST(TransferLock, ASecondTransferOnTheSameFolderIsRefusedUntilTheFirstEnds) {
    TempFolder folder;
    auto first = std::make_unique<TransferLock>(folder.path());
    ASSERT_TRUE(first->Held());

    TransferLock second(folder.path());
    EXPECT_FALSE(second.Held());
    EXPECT_EQ(second.RefusalText(),
              "Es läuft bereits eine Übertragung für diesen Programmordner. Bitte warten Sie, bis sie beendet "
              "ist.");

    first.reset();
    TransferLock third(folder.path());
    EXPECT_TRUE(third.Held());
}

TEST(TransferLock, TwoFoldersDoNotBlockEachOther) {
    TempFolder one;
    TempFolder other;
    TransferLock first(one.path());
    TransferLock second(other.path());
    EXPECT_TRUE(first.Held());
    EXPECT_TRUE(second.Held());
}

TEST(TransferLock, ALockFileLeftBehindWithoutHolderBlocksNobody) {
    TempFolder folder;
    folder.Write(kTransferLockFileName, "4711\n");
    TransferLock lock(folder.path());
    EXPECT_TRUE(lock.Held());
}

TEST(TransferLock, AFolderThatDoesNotExistIsRefusedWithTheLockFileNamed) {
    TempFolder folder;
    const auto missing = folder / "fehlt";
    TransferLock lock(missing);
    EXPECT_FALSE(lock.Held());
    EXPECT_TRUE(lock.RefusalText().starts_with("Die Sperrdatei " + (missing / kTransferLockFileName).string() +
                                               " kann nicht geöffnet werden: "))
        << lock.RefusalText();
}

TEST(TransferLock, MovesWithItsHolderAndReleaseFreesIt) {
    TempFolder folder;
    TransferLock first(folder.path());
    TransferLock moved(std::move(first));
    EXPECT_TRUE(moved.Held());
    EXPECT_FALSE(TransferLock(folder.path()).Held());
    moved.Release();
    EXPECT_FALSE(moved.Held());
    EXPECT_TRUE(TransferLock(folder.path()).Held());
}

}  // namespace
}  // namespace warenkai::test
