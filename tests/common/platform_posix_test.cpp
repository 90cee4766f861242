// What only POSIX systems show: a link in a file's place, and a program that the lock's holder started.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <gtest/gtest.h>

#include "common/text_file.h"
#include "common/transfer_lock.h"
#include "tests/support/temp_folder.h"

extern char** environ;

namespace warenkai::test {
namespace {

namespace fs = std::filesystem;

// Refused, removed or replaced, never written through; the mark of its read-only target stays. The
// file itself gets its write permission back, so that the export can empty one that a share does not
// let it delete.
TEST(FileInPlace, ALinkInTheFilesPlaceIsRefusedRemovedOrReplacedNeverWrittenThrough) {
    TempFolder folder;
    const auto target = folder.Write("ziel.csv", "Ziel"), link = folder / "verweis.csv";
    fs::permissions(target, fs::perms::owner_read);
    fs::create_symlink(target, link);
    EXPECT_EQ(OpenFileForWriting(link, OpenForWriting::Truncate), nullptr);
    RemoveFileForced(link);
    fs::create_symlink(target, link);  // throws unless the link has gone
    EXPECT_TRUE(WriteFileAtomically(link, "neu"));
    EXPECT_EQ(folder.Read("ziel.csv") + " " + folder.Read("verweis.csv"), "Ziel neu");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::owner_write, fs::perms::none);
    ResetFileAttributes(target);
    EXPECT_NE(fs::status(target).permissions() & fs::perms::owner_write, fs::perms::none);
}

// A browser opened for a shop page must not keep the folder locked after the transfer.
TEST(TransferLockAcrossProcesses, AProgramTheHolderStartedDoesNotInheritIt) {
    TempFolder folder;
    TransferLock lock(folder.path());
    char* argv[] = {const_cast<char*>("/bin/sleep"), const_cast<char*>("30"), nullptr};
    pid_t browser = -1;
    ASSERT_EQ(posix_spawn(&browser, argv[0], nullptr, nullptr, argv, environ), 0);
    lock.Release();
    // The browser's start may still be closing what it must not keep when posix_spawn returns.
    for (int wait = 0; wait < 100 && !TransferLock(folder.path()).Held(); ++wait, usleep(10000)) {
    }
    EXPECT_TRUE(TransferLock(folder.path()).Held());
    kill(browser, SIGKILL);
    waitpid(browser, nullptr, 0);
}

}  // namespace
}  // namespace warenkai::test
