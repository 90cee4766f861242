// "Einstellungen.ini" when the disk fills up half-way (POSIX: a file size limit stands in for it).
#include "settings/settings.h"

#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

namespace warenkai {
namespace {

using test::TempFolder;

TEST(SettingsFile, FailureHalfWayLeavesTheOldFileIntact) {
    TempFolder folder;
    const std::string old = "GRUND0=old server\r\nARTIKELCHECK=Ja\r\n";
    const auto file = folder.Write(kSettingsFileName, old);

    // Let the write fail after 100 bytes, as on a full disk.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit small = previous;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = SaveSettings(file, Settings{});
    setrlimit(RLIMIT_FSIZE, &previous);

    EXPECT_FALSE(saved);
    EXPECT_EQ(folder.Read(kSettingsFileName), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

// It holds the FTP password: only its owner may read it.
TEST(SettingsFile, IsReadableByItsOwnerOnly) {
    TempFolder folder;
    ASSERT_TRUE(SaveSettings(folder / kSettingsFileName, Settings{}));
    using std::filesystem::perms;
    EXPECT_EQ(std::filesystem::status(folder / kSettingsFileName).permissions() & perms::all,
              perms::owner_read | perms::owner_write);
}

}  // namespace
}  // namespace warenkai
