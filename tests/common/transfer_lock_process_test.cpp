// The lock between processes, on POSIX systems: a holder that crashes, programs started meanwhile.
#include "common/transfer_lock.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

extern char** environ;

namespace warenkai::test {
namespace {

// A child process that holds the program folder's lock until it is killed.
class LockHoldingProcess {
public:
    explicit LockHoldingProcess(const std::filesystem::path& folder) {
        int ready[2];
        if (::pipe(ready) != 0) {
            return;
        }
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(ready[0]);
            TransferLock lock(folder);
            const char answer = lock.Held() ? 'y' : 'n';
            [[maybe_unused]] const ssize_t written = ::write(ready[1], &answer, 1);
            ::pause();
            ::_exit(0);
        }
        ::close(ready[1]);
        char answer = 0;
        m_held = ::read(ready[0], &answer, 1) == 1 && answer == 'y';
        ::close(ready[0]);
    }
    ~LockHoldingProcess() { Kill(); }

    bool Held() const { return m_held; }
    // Ends the child the hard way, as a crash would.
    void Kill() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            int status = 0;
            ::waitpid(m_pid, &status, 0);
            m_pid = -1;
        }
    }

private:
    pid_t m_pid = -1;
    bool m_held = false;
};

TEST(TransferLock, AnotherProcessHoldingItRefusesAndItsCrashFreesIt) {
    TempFolder folder;
    LockHoldingProcess holder(folder.path());
    ASSERT_TRUE(holder.Held());
    {
        TransferLock lock(folder.path());
        EXPECT_FALSE(lock.Held());
        EXPECT_EQ(lock.RefusalText(), kTransferLockBusyText);
    }
    holder.Kill();
    TransferLock lock(folder.path());
    EXPECT_TRUE(lock.Held());
}

TEST(TransferLock, ProgramsStartedMeanwhileDoNotKeepIt) {
    TempFolder folder;
    pid_t child = -1;
    {
        TransferLock lock(folder.path());
        ASSERT_TRUE(lock.Held());
        // Like a browser started for a shop page, which may run on long after the transfer.
        char program[] = "/bin/sleep";
        char seconds[] = "30";
        char* argv[] = {program, seconds, nullptr};
        ASSERT_EQ(::posix_spawn(&child, program, nullptr, nullptr, argv, environ), 0);
    }
    TransferLock next(folder.path());
    EXPECT_TRUE(next.Held());
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
}

}  // namespace
}  // namespace warenkai::test
