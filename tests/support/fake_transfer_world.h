#pragma once

#include <memory>
#include <string>

#include "common/cancel_request.h"
#include "common/transfer_context.h"
#include "settings/settings.h"
#include "tests/support/fake_ui.h"
#include "tests/support/journal.h"
#include "tests/support/memory_selectline.h"
#include "tests/support/recording_ftp.h"
#include "tests/support/temp_folder.h"

namespace warenkai::test {

// The window as a transfer sees it: status area, dialogs and web opener, all writing into one journal,
// and the cancel request of its "Abbrechen" button.
struct WindowFakes {
    Journal journal;
    RecordingStatusArea status{journal};
    ScriptedDialogs dialogs{journal};
    RecordingWebOpener web{journal};
    CancelRequest cancel;
};

// Everything a transfer runs with: the window's fakes, a recording FTP control on the same journal,
// an in-memory Selectline, a program folder of its own, the TransferContext wired to them, and the
// settings. A fixture derives from it beside ::testing::Test:
//
//     class UploadTest : public ::testing::Test, protected FakeTransferWorld { … };
//     UploadArticleFiles(settings, context, 1, uploaded);
//     EXPECT_EQ(journal.Entries(), …);
struct FakeTransferWorld : WindowFakes {
    RecordingFtpControl ftp{journal};
    std::shared_ptr<MemoryDatabase> database = std::make_shared<MemoryDatabase>();
    TempFolder folder;  // the program folder
    TransferContext context{status, dialogs, web, ftp, MakeMemorySelectline(database), folder.path(), cancel};
    Settings settings;
};

// The shop's log-in and places, with the values most tests use; a test names only what differs:
//     SetShopAccess(settings, {.ftpPassword = "ge@heim"});
struct ShopAccess {
    std::string ftpServer = "ftp.example.com";
    std::string ftpUser = "shop";
    std::string ftpPassword = "geheim";
    std::string shopRoot = "/shop";
    std::string shopLink{};  // "{}" lets a designated list leave it out without a warning
};

// Puts `access` into the five text fields of `settings` that name the shop.
void SetShopAccess(Settings& settings, const ShopAccess& access = {});

}  // namespace warenkai::test
