// The core's small helpers: the Windows-1252 codec, the file helpers, how a transfer ends when its
// error has no text, and the lock that lets one transfer at a time work on a program folder. Transfers
// that end by an error or a cancel are tested with the transfers, the lock's refusal and its release
// at a transfer's end in tests/cli and tests/app, what only POSIX systems show in platform_posix_test.cpp.
#include <numeric>
#include <stdexcept>

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
    // A CJK character and a byte that is no UTF-8 become "?".
    EXPECT_EQ(Utf8ToWindows1252("Zubehör ´ €\xE4\xB8\xAD\x61\xFF"), "Zubeh\xF6r \xB4 \x80?a?");
    std::string all(256, '\0');
    std::iota(all.begin(), all.end(), '\0');
    EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(all)), all);
}

// Windows can neither replace nor delete a read-only file until the writers clear the mark; on POSIX
// systems the folder's permission counts instead, and platform_posix_test.cpp shows the mark cleared.
TEST(TextFile, ReadOnlyFilesAreReplacedAndDeletedAndOnlyWholeRegularFilesAreRead) {
    TempFolder folder;
    const auto replaced = folder.Write("a.csv", "alt"), removed = folder.Write("b.csv", "alt");
    fs::permissions(replaced, fs::perms::owner_read);
    fs::permissions(removed, fs::perms::owner_read);
    ASSERT_TRUE(WriteFileAtomically(replaced, std::string("neu\0", 4)));
    EXPECT_FALSE(WriteFileAtomically(folder / "fehlt/a.csv", "x"));
    RemoveFileForced(removed);
    RemoveFileForced(folder.path());                                         // a folder stays
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), {}), 1);  // b.csv gone, no temporary left
    EXPECT_EQ(ReadWholeFile(replaced, 4), std::string("neu\0", 4));
    EXPECT_EQ(ReadWholeFile(replaced, 3), std::nullopt);
    EXPECT_EQ(ReadWholeFile(folder.path()), std::nullopt);
}

TEST(TransferGuard, AnErrorWithoutTextIsAnUnknownErrorAndTheBarStartsAtNought) {
    WindowFakes ui;
    ui.status.progressValue = 5;
    EXPECT_EQ(RunTransfer(ui.status, ui.dialogs, [] { throw std::runtime_error(""); }), TransferOutcome::Stopped);
    EXPECT_EQ(ui.status.errors, std::vector<std::string>{"Unbekannter Fehler"});
    EXPECT_EQ(ui.journal.Entries().back(), "message: Unbekannter Fehler");
    EXPECT_EQ(ui.status.progressValue, 0);
}

TEST(TransferLock, OneTransferAtATimePerProgramFolder) {
    TempFolder folder, other;
    folder.Write(kTransferLockFileName, "4711\n");  // left behind by an earlier run: blocks nobody
    TransferLock first(folder.path());
    EXPECT_EQ(TransferLock(folder.path()).RefusalText(),
              "Es läuft bereits eine Übertragung für diesen Programmordner. Bitte warten Sie, bis sie beendet ist.");
    EXPECT_TRUE(TransferLock(other.path()).Held());
    EXPECT_THAT(TransferLock(folder / "fehlt").RefusalText(),
                testing::StartsWith("Die Sperrdatei " + PathToUtf8(folder / "fehlt" / kTransferLockFileName) +
                                    " kann nicht geöffnet werden: "));
    TransferLock moved(std::move(first));
    first.Release();  // the moved-from one holds nothing
    EXPECT_FALSE(TransferLock(folder.path()).Held());
    moved.Release();
    EXPECT_TRUE(TransferLock(folder.path()).Held() && fs::is_regular_file(folder / kTransferLockFileName));
}

}  // namespace
}  // namespace warenkai::test
