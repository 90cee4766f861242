#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include <gtest/gtest.h>

#include "settings/settings.h"
#include "tests/support/temp_folder.h"

namespace warenkai::test {
namespace {

namespace fs = std::filesystem;

// A disk that fills up half-way (a file size limit stands in for it) leaves the old file as it was.
// The file holds the FTP password: only its owner may read it.
TEST(SettingsFile, AFailedSaveKeepsTheOldFileAndOnlyItsOwnerMayReadIt) {
    TempFolder folder;
    const auto file = folder.Write(kSettingsFileName, "GRUND0=alt\r\n");
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const rlimit small{100, previous.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = SaveSettings(file, Settings{});
    setrlimit(RLIMIT_FSIZE, &previous);
    EXPECT_FALSE(saved);
    EXPECT_EQ(folder.Read(kSettingsFileName), "GRUND0=alt\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), {}), 1);
    ASSERT_TRUE(SaveSettings(file, Settings{}));
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
}

}  // namespace
}  // namespace warenkai::test
