#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>

#include "shop/ftp_control.h"
#include "tests/support/journal.h"

namespace warenkai::test {

// FTP control with scripted results. Journals
//   "ftp connect <server>|<user>|<password>|<flags as 0x…>", "ftp transfertype <n>",
//   "ftp upload <local> -> <remote> mode <n>", "ftp download <remote> -> <local>", "ftp disconnect".
class RecordingFtpControl final : public FtpControl {
public:
    explicit RecordingFtpControl(Journal& journal) : m_journal(journal) {}

    bool connect(const std::string& server, const std::string& user, const std::string& password,
                 std::int32_t connectionFlags) override;
    bool upload(const std::filesystem::path& localPath, const std::string& remotePath,
                std::int32_t transferMode) override;
    bool download(const std::filesystem::path& localPath, const std::string& remotePath) override;
    void disconnect() override;
    void setTransfertype(std::int32_t type) override;
    std::string lastFailure() const override { return failure; }

    // What lastFailure tells, whatever the last operation gave.
    std::string failure;

    // Results of the next connects; true once they are used up.
    std::deque<bool> connectResults;
    // Decides an upload by its remote path; true when unset.
    std::function<bool(const std::string& remotePath)> uploadSucceeds;
    // Remote files the server holds: a download writes the content to the local path and succeeds;
    // a remote path not in here fails and writes nothing.
    std::map<std::string, std::string> remoteFiles;

    void RaiseProgress(std::int64_t total, std::int64_t done) { transferProgress(total, done); }

private:
    Journal& m_journal;
};

std::string FlagsText(std::int32_t flags);

// An FTP control that reaches no server: every connect fails.
class IdleFtpControl final : public FtpControl {
public:
    bool connect(const std::string&, const std::string&, const std::string&, std::int32_t) override { return false; }
    bool upload(const std::filesystem::path&, const std::string&, std::int32_t) override { return false; }
    bool download(const std::filesystem::path&, const std::string&) override { return false; }
    void disconnect() override {}
    void setTransfertype(std::int32_t) override {}
};

}  // namespace warenkai::test
