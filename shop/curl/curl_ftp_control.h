#pragma once

#include <memory>

#include "shop/ftp_control.h"

namespace warenkai {

class EventLoop;

// The FTP control over libcurl. `events` is yielded to during transfers of transferMode 1.
std::unique_ptr<FtpControl> MakeCurlFtpControl(EventLoop& events);

}  // namespace warenkai
