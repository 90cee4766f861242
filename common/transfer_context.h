#pragma once

#include <filesystem>
#include <functional>
#include <memory>

namespace warenkai {

class StatusArea;
class UserDialogs;
class CancelRequest;
class WebOpener;
class FtpControl;
class SelectlineApplication;

// Creates the automation object of Selectline (ProgID "XFakt.App" on Windows, the SQLite stand-in
// here). Throws SelectlineError when the server cannot be started.
using SelectlineFactory = std::function<std::unique_ptr<SelectlineApplication>()>;

// Everything outside the core that a transfer talks to, passed explicitly so a transfer runs the
// same in the window, on the command line and in tests. A transfer runs on one thread from start to
// end, and everything it reaches through the context is used on that thread only (the window's
// implementations hand the calls over to the window's thread).
struct TransferContext {
    StatusArea& status;
    UserDialogs& dialogs;
    WebOpener& web;
    FtpControl& ftp;
    SelectlineFactory selectline;
    // The folder that holds the program file; the program's own files live there.
    std::filesystem::path programFolder;
    // Looked at by the transfer at its safe points.
    const CancelRequest& cancel;
};

}  // namespace warenkai
