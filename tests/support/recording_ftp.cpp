#include "tests/support/recording_ftp.h"

#include <cstdio>
#include <fstream>

#include "common/text_file.h"
#include "common/utf8_path.h"

namespace warenkai::test {

std::string FlagsText(std::int32_t flags) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(flags));
    return buffer;
}

bool RecordingFtpControl::connect(const std::string& server, const std::string& user, const std::string& password,
                                  std::int32_t connectionFlags) {
    m_journal.Add("ftp connect " + server + "|" + user + "|" + password + "|" + FlagsText(connectionFlags));
    if (connectResults.empty()) {
        return true;
    }
    const bool result = connectResults.front();
    connectResults.pop_front();
    return result;
}

bool RecordingFtpControl::upload(const std::filesystem::path& localPath, const std::string& remotePath,
                                 std::int32_t transferMode) {
    m_journal.Add("ftp upload " + PathToUtf8(localPath) + " -> " + remotePath + " mode " +
                  std::to_string(transferMode));
    if (uploadSucceeds && !uploadSucceeds(remotePath)) {
        return false;
    }
    return ReadWholeFile(localPath).has_value();
}

bool RecordingFtpControl::download(const std::filesystem::path& localPath, const std::string& remotePath) {
    m_journal.Add("ftp download " + remotePath + " -> " + PathToUtf8(localPath));
    const auto found = remoteFiles.find(remotePath);
    if (found == remoteFiles.end()) {
        return false;
    }
    std::ofstream out(localPath, std::ios::binary | std::ios::trunc);
    out << found->second;
    return static_cast<bool>(out);
}

void RecordingFtpControl::disconnect() {
    m_journal.Add("ftp disconnect");
}

void RecordingFtpControl::setTransfertype(std::int32_t type) {
    m_journal.Add("ftp transfertype " + std::to_string(type));
}

}  // namespace warenkai::test
