#include "common/transfer_lock.h"

#include <utility>

namespace warenkai {

TransferLock::TransferLock(const std::filesystem::path& programFolder) {
    const std::filesystem::path file = programFolder / kTransferLockFileName;
    std::string reason;
    switch (m_lock.TryLock(file, reason)) {
        case FileLock::Result::Held:
            break;
        case FileLock::Result::Busy:
            m_refusal = kTransferLockBusyText;
            break;
        case FileLock::Result::CannotOpen:
            m_refusal = "Die Sperrdatei " + PathToUtf8(file) + " kann nicht geöffnet werden: " + reason;
            break;
        case FileLock::Result::CannotLock:
            m_refusal = "Die Sperrdatei " + PathToUtf8(file) + " kann nicht gesperrt werden: " + reason;
            break;
    }
}

void TransferLock::Release() noexcept {
    m_lock.Release();
}

}  // namespace warenkai
