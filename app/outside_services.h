#pragma once

#include <filesystem>
#include <memory>

#include "common/transfer_context.h"
#include "shop/ftp_control.h"

namespace warenkai {

// The program's outside services, one place for the window and the command line alike: Selectline's
// automation server (over COM on Windows, the SQLite stand-in beside the program elsewhere; CMake
// picks the implementation) and the FTP control over libcurl. Both are made on the thread that runs
// the transfer and used only there.
SelectlineFactory MakeProgramSelectline(const std::filesystem::path& programFolder);
std::unique_ptr<FtpControl> MakeProgramFtpControl();

}  // namespace warenkai
