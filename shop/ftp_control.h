#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace warenkai {

// `connectionFlags` value that asks for passive-mode data connections; 0 gives active mode.
inline constexpr std::int32_t kPassiveModeFlag = 0x08000000;
// `transfertype` values.
inline constexpr std::int32_t kTransferTypeText = 1;
inline constexpr std::int32_t kTransferTypeBinary = 2;

// The FTP client the transfers use, always as connect, transfers, disconnect. Every failure is a
// false result; no operation throws.
class FtpControl {
public:
    // transferProgress(total, done): raised on the calling thread while an upload or download runs.
    using ProgressHandler = std::function<void(std::int64_t total, std::int64_t done)>;

    virtual ~FtpControl() = default;

    // Logs in; true only when the server accepted user and password. `server` may carry a port
    // ("host:2121").
    virtual bool connect(const std::string& server, const std::string& user, const std::string& password,
                         std::int32_t connectionFlags) = 0;
    // `transferMode` 0: synchronous; 1: asynchronous. Transfers run on a thread of their own, so both
    // block the caller until the transfer has ended and give its result.
    virtual bool upload(const std::filesystem::path& localPath, const std::string& remotePath,
                        std::int32_t transferMode) = 0;
    // Leaves no local file behind when it fails.
    virtual bool download(const std::filesystem::path& localPath, const std::string& remotePath) = 0;
    virtual void disconnect() = 0;

    // 1 text, 2 binary; 2 when never set.
    virtual void setTransfertype(std::int32_t type) = 0;

    // Why the last connect, upload or download that returned false failed, as a text for the user
    // (the client library's words, the server's refusing answer); "" when that operation succeeded
    // or the control does not tell. disconnect keeps it.
    virtual std::string lastFailure() const { return {}; }

    void setTransferProgressHandler(ProgressHandler handler) { m_transferProgress = std::move(handler); }

protected:
    void transferProgress(std::int64_t total, std::int64_t done) const {
        if (m_transferProgress) {
            m_transferProgress(total, done);
        }
    }

private:
    ProgressHandler m_transferProgress;
};

}  // namespace warenkai
