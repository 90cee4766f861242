// The core's small helpers: the Windows-1252 codec, the file helpers, how every transfer ends
// (RunTransfer) and the lock that lets one transfer at a time work on a program folder. What only
// other processes show of the lock is in platform_posix_test.cpp, the command line's refusal in tests/cli.
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <tuple>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/text_file.h"
#include "common/transfer_guard.h"
#include "common/transfer_lock.h"
#include "common/windows1252.h"
#include "tests/support/fake_transfer_world.h"

namespace warenkai::test {
namespace {

namespace fs = std::filesystem;

TEST(Windows1252, EncodesGermanTextReplacesWhatTheCodePageLacksAndKeepsEveryByte) {
    EXPECT_EQ(Utf8ToWindows1252("Zubehör ´ €\xE4\xB8\xAD"  // and a CJK character
                                "a\xFF"),                  // no UTF-8
              "Zubeh\xF6r \xB4 \x80?a?");
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(all)), all);
}

// Windows can neither replace nor delete a read-only file until the writers clear the mark; on POSIX
// systems the folder's permission counts instead (platform_posix_test.cpp).
TEST(TextFile, AReadOnlyFileIsReplacedLeavingNoTemporaryAndDeleted) {
    TempFolder folder;
    const auto replaced = folder.Write("a.csv", "alt");
    const auto removed = folder.Write("b.csv", "alt");
    fs::permissions(replaced, fs::perms::owner_read);
    fs::permissions(removed, fs::perms::owner_read);
    ASSERT_TRUE(WriteFileAtomically(replaced, std::string("neu\0", 4)));
    EXPECT_EQ(folder.Read("a.csv"), std::string("neu\0", 4));
    RemoveFileForced(removed);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), {}), 1);
    EXPECT_FALSE(WriteFileAtomically(folder / "fehlt/a.csv", "x"));
}

TEST(TextFile, ReadWholeFileRefusesFoldersMissingAndOversizedFilesAndRemoveFileForcedLeavesFolders) {
    TempFolder folder;
    folder.Write("small", "12345");
    EXPECT_EQ(ReadWholeFile(folder / "small"), "12345");
    EXPECT_EQ(ReadWholeFile(folder / "small", 4), std::nullopt);
    EXPECT_EQ(ReadWholeFile(folder / "missing"), std::nullopt);
    EXPECT_EQ(ReadWholeFile(folder.path()), std::nullopt);
    RemoveFileForced(folder.path());
    EXPECT_TRUE(fs::is_directory(folder.path()));
}

TEST(TransferGuard, EndsEveryTransferTheSameWay) {
    const std::string stopped = "status: Die Übertragung wurde abgebrochen";
    const std::tuple<std::function<void()>, TransferOutcome, std::vector<std::string>> cases[] = {
        {[] {}, TransferOutcome::Completed, {}},
        {[] { throw std::runtime_error("Feld fehlt"); },
         TransferOutcome::Stopped,
         {stopped, "error: Feld fehlt", "message: Feld fehlt"}},
        {[] { throw std::runtime_error(""); },
         TransferOutcome::Stopped,
         {stopped, "error: Unbekannter Fehler", "message: Unbekannter Fehler"}},
        // The user asked for it: no message box.
        {[] { throw TransferCancelled("Abgebrochen"); }, TransferOutcome::Cancelled, {stopped, "error: Abgebrochen"}},
    };
    for (const auto& [transfer, outcome, journal] : cases) {
        WindowFakes window;
        window.status.progressValue = 5;
        EXPECT_EQ(RunTransfer(window.status, window.dialogs, transfer), outcome);
        EXPECT_EQ(window.journal.Entries(), journal);
        EXPECT_EQ(window.status.progressValue, 0);
    }
}

TEST(TransferLock, OneTransferAtATimePerProgramFolder) {
    TempFolder folder;
    TempFolder other;
    folder.Write(kTransferLockFileName, "4711\n");  // left behind by an earlier run: blocks nobody
    TransferLock first(folder.path());
    ASSERT_TRUE(first.Held());
    EXPECT_EQ(first.RefusalText(), "");
    EXPECT_EQ(TransferLock(folder.path()).RefusalText(),
              "Es läuft bereits eine Übertragung für diesen Programmordner. Bitte warten Sie, bis sie beendet ist.");
    EXPECT_TRUE(TransferLock(other.path()).Held());
    EXPECT_THAT(TransferLock(folder / "fehlt").RefusalText(),
                ::testing::StartsWith("Die Sperrdatei " + PathToUtf8(folder / "fehlt" / kTransferLockFileName) +
                                      " kann nicht geöffnet werden: "));

    TransferLock moved(std::move(first));
    first.Release();  // the moved-from one holds nothing
    EXPECT_FALSE(TransferLock(folder.path()).Held());
    moved.Release();
    for (int run = 0; run < 2; ++run) {  // each run frees it as it ends
        EXPECT_TRUE(TransferLock(folder.path()).Held());
    }
    EXPECT_TRUE(fs::is_regular_file(folder / kTransferLockFileName));
}

}  // namespace
}  // namespace warenkai::test
