#pragma once

#include <chrono>
#include <cstddef>
#include <memory>

#include "shop/ftp_control.h"

namespace warenkai {

class EventLoop;

// Limits of the libcurl FTP control. The defaults keep the window from hanging on a dead server;
// tests shorten them.
struct CurlFtpOptions {
    // Reaching the server and logging in.
    std::chrono::milliseconds connectTimeout{20000};
    // A transfer that moves no byte for this long ends with false.
    std::chrono::seconds stallTimeout{60};
    // Longest wait for the server's answer to a command once logged in.
    std::chrono::seconds responseTimeout{60};
    // Active mode: longest wait for the server to open the data connection.
    std::chrono::milliseconds activeAcceptTimeout{20000};
    // transferMode 1: the window gets at most one yield per interval during a transfer.
    std::chrono::milliseconds yieldInterval{50};
    // Progress events come at most once per interval, plus the first and the last of a transfer.
    std::chrono::milliseconds progressInterval{20};
    // Socket buffer of libcurl and file buffer for both directions.
    std::size_t bufferSize = std::size_t{512} * 1024;
};

// The FTP control over libcurl, one control connection from `connect` to `disconnect`:
// - `connect` logs in (a passive-mode or, for connectionFlags 0, active-mode session) and keeps the
//   connection; the transfers that follow use it. If the server closes it meanwhile, the next
//   transfer logs in again by itself.
// - `upload` reads the local file, `download` fetches into a temporary file beside the local path
//   and puts it in place only when it is complete: after a failed download the local path is as it
//   was before (missing, or the old file untouched), never a partial file.
// - `connect` and uploads with transferMode 0 block (within the time-outs). Uploads with
//   transferMode 1 and every download yield to `events` at least every yieldInterval, also while
//   the server is silent, so the window repaints and the progress bar moves. Calls made from inside
//   such a yield (another operation started meanwhile) get false; a `disconnect` from there ends
//   the running transfer with false and closes the connection.
// - `transferProgress` comes from the transfer itself (done/total in bytes), the last event of a
//   successful transfer reporting done = total.
// - Nothing throws: every failure, also one of the progress handler or of a yield, is false.
// `events` must outlive the control, and the control must not be destroyed from inside one of its
// own yields. Tests that compare an exact journal of yields give the control
// an event loop of its own, since the number of its yields depends on timing.
std::unique_ptr<FtpControl> MakeCurlFtpControl(EventLoop& events);
std::unique_ptr<FtpControl> MakeCurlFtpControlWith(EventLoop& events, const CurlFtpOptions& options);

}  // namespace warenkai
