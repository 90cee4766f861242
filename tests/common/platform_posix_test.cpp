// What stands in a file's place on POSIX systems (a link, a file the folder does not let the program
// delete), and what only other processes show of the transfer lock.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>

#include <gtest/gtest.h>

#include "common/text_file.h"
#include "common/transfer_lock.h"
#include "tests/support/temp_folder.h"

extern char** environ;

namespace warenkai::test {
namespace {

namespace fs = std::filesystem;

TEST(FileInPlace, ALinkInTheFilesPlaceIsReplacedOrRefusedNeverWrittenThrough) {
    TempFolder folder;
    const auto target = folder.Write("ziel.csv", "Ziel");
    fs::permissions(target, fs::perms::owner_read);
    for (const char* link : {"atomar.csv", "leeren.csv", "entfernen.csv"}) {
        fs::create_symlink(target, folder / link);
    }
    EXPECT_TRUE(WriteFileAtomically(folder / "atomar.csv", "neu"));
    EXPECT_EQ(fs::symlink_status(folder / "atomar.csv").type(), fs::file_type::regular);
    EXPECT_EQ(folder.Read("atomar.csv"), "neu");
    EXPECT_EQ(OpenFileForWriting(folder / "leeren.csv", OpenForWriting::Truncate), nullptr);
    RemoveFileForced(folder / "entfernen.csv");
    EXPECT_FALSE(fs::is_symlink(folder / "entfernen.csv"));
    EXPECT_EQ(folder.Read("ziel.csv"), "Ziel");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::owner_write, fs::perms::none);
}

// A read-only file in a folder where it may be written but not deleted (an export folder on a share):
// RemoveFileForced leaves it writable, so the export empties it in place.
TEST(FileInPlace, AReadOnlyFileThatCannotBeDeletedIsLeftWritable) {
    TempFolder folder;
    const auto file = folder.Write("gesperrt/a.csv", "alt");
    fs::permissions(file, fs::perms::owner_read);
    fs::permissions(folder / "gesperrt", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_exec);
    fs::permissions(folder.path(), fs::perms::others_exec, fs::perm_options::add);
    // Root may delete anything: as root, the child works as the user "nobody", who owns only the file.
    constexpr uid_t kNobody = 65534;
    const bool root = geteuid() == 0;
    ASSERT_EQ(root ? chown(file.c_str(), kNobody, kNobody) : 0, 0);
    const pid_t child = fork();
    if (child == 0) {
        if (root && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
            _exit(2);
        }
        RemoveFileForced(file);
        std::FILE* out = fs::exists(file) ? OpenFileForWriting(file, OpenForWriting::Truncate) : nullptr;
        _exit(out != nullptr && std::fputs("neu", out) >= 0 && std::fclose(out) == 0 ? 0 : 1);
    }
    int status = -1;
    waitpid(child, &status, 0);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(folder.Read("gesperrt/a.csv"), "neu");
}

// The system drops the lock with the process that held it, also while a program that process
// started (a browser for a shop page) runs on.
TEST(TransferLockAcrossProcesses, AHolderThatCrashesFreesItWhileItsProgramsRunOn) {
    TempFolder folder;
    int channel[2];
    ASSERT_EQ(pipe(channel), 0);
    const pid_t holder = fork();
    if (holder == 0) {
        const TransferLock lock(folder.path());
        char program[] = "/bin/sleep", seconds[] = "30";
        char* argv[] = {program, seconds, nullptr};
        pid_t browser = -1;
        if (!lock.Held() || posix_spawn(&browser, program, nullptr, nullptr, argv, environ) != 0) {
            browser = -1;
        }
        [[maybe_unused]] const auto told = write(channel[1], &browser, sizeof browser);
        pause();
    }
    pid_t browser = -1;
    EXPECT_EQ(read(channel[0], &browser, sizeof browser), static_cast<ssize_t>(sizeof browser));
    EXPECT_FALSE(TransferLock(folder.path()).Held());
    kill(holder, SIGKILL);  // as a crash would end it
    waitpid(holder, nullptr, 0);
    EXPECT_TRUE(TransferLock(folder.path()).Held());
    ASSERT_GT(browser, 0);
    kill(browser, SIGKILL);
}

}  // namespace
}  // namespace warenkai::test
