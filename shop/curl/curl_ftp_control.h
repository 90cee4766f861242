#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

#include "shop/ftp_control.h"

namespace warenkai {

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
    // Progress events come at most once per interval, plus the first and the last of a transfer.
    std::chrono::milliseconds progressInterval{20};
    // Socket buffer of libcurl and file buffer for both directions.
    std::size_t bufferSize = std::size_t{512} * 1024;
    // With TLS, the file of the certificate authorities the server's certificate must lead to
    // (PEM). Empty: the trusted certificates of the system. Not for Schannel (Windows), which
    // always uses the system's store.
    std::string caFile;
};

// The FTP control over libcurl, one control connection from `connect` to `disconnect`:
// - `server` is "host[:port]" or "ftp://host[:port]" for plain FTP, "ftpes://host[:port]" for FTP
//   with explicit TLS (AUTH TLS, then PROT P for the data connections), "ftps://host[:port]" for
//   implicit TLS (shop/curl/ftp_url.h). With TLS the server's certificate must be valid for the
//   host and lead to a trusted authority; when it does not, or the server offers no TLS, `connect`
//   is false: nothing travels in plain text instead. TLS needs passive mode (kPassiveModeFlag);
//   in active mode `connect` is false.
// - `connect` logs in (a passive-mode or, for connectionFlags 0, active-mode session) and keeps the
//   connection; the transfers that follow use it. If the server closes it meanwhile, the next
//   transfer logs in again by itself.
// - `upload` reads the local file, `download` fetches into a temporary file beside the local path
//   and puts it in place only when it is complete: after a failed download the local path is as it
//   was before (missing, or the old file untouched), never a partial file.
// - Every operation blocks the calling thread (within the time-outs); the transfers run on a thread
//   of their own, so both transferModes behave alike. The control is used by one thread at a time.
// - `transferProgress` comes from the transfer itself (done/total in bytes), the last event of a
//   successful transfer reporting done = total.
// - Nothing throws: every failure, also one of the progress handler, is false; `lastFailure` tells
//   why (libcurl's message, and the server's answer when it refused).
std::unique_ptr<FtpControl> MakeCurlFtpControl();
std::unique_ptr<FtpControl> MakeCurlFtpControlWith(const CurlFtpOptions& options);

}  // namespace warenkai
