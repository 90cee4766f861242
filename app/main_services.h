#pragma once

#include <filesystem>
#include <functional>
#include <memory>

#include "common/transfer_context.h"
#include "common/transfer_guard.h"

namespace warenkai {

struct Settings;

// One transfer of the transfer tab, run to its end on a thread of its own with a copy of the settings
// taken when its button was clicked.
using TransferRunner = std::function<TransferOutcome(const Settings& settings, TransferContext& context)>;

// What the main window talks to beyond its own controls. A member left empty is filled with the
// program's own implementation by WithProgramDefaults, so a test replaces only what it needs.
struct MainServices {
    TransferRunner articleTransfer;      // Command3
    TransferRunner pictureUpload;        // Command4
    TransferRunner customerOrderImport;  // Command5
    TransferRunner connectionCheck;      // "Verbindung testen"
    // The FTP control; each transfer makes its own on its thread.
    std::function<std::unique_ptr<FtpControl>()> makeFtpControl;
    // The Selectline automation server that belongs to the program folder.
    std::function<SelectlineFactory(const std::filesystem::path& programFolder)> makeSelectline;
    // Null: the window's own message boxes and input box.
    UserDialogs* dialogs = nullptr;
    // Null: the desktop's browser.
    WebOpener* web = nullptr;
};

// Fills every empty transfer and factory of `services` with the program's own.
MainServices WithProgramDefaults(MainServices services);

}  // namespace warenkai
