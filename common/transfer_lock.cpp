#include "common/transfer_lock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

namespace warenkai {
namespace {

std::string SystemReason(int error) {
    return std::strerror(error);
}

// The holder's process number, for a person who looks into the file; nobody reads it back.
void NoteHolder(int descriptor) {
    if (::ftruncate(descriptor, 0) != 0) {
        return;
    }
    const std::string text = std::to_string(::getpid()) + "\n";
    [[maybe_unused]] const ssize_t written = ::pwrite(descriptor, text.data(), text.size(), 0);
}

}  // namespace

TransferLock::TransferLock(const std::filesystem::path& programFolder) {
    const std::filesystem::path file = programFolder / kTransferLockFileName;
    int descriptor = -1;
    do {
        descriptor = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    } while (descriptor < 0 && errno == EINTR);
    if (descriptor < 0) {
        m_refusal = "Die Sperrdatei " + file.string() + " kann nicht geöffnet werden: " + SystemReason(errno);
        return;
    }
    int locked = -1;
    do {
        locked = ::flock(descriptor, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const int error = errno;
        ::close(descriptor);
        if (error == EWOULDBLOCK) {
            m_refusal = kTransferLockBusyText;
        } else {
            m_refusal = "Die Sperrdatei " + file.string() + " kann nicht gesperrt werden: " + SystemReason(error);
        }
        return;
    }
    NoteHolder(descriptor);
    m_descriptor = descriptor;
}

TransferLock::~TransferLock() {
    Release();
}

TransferLock::TransferLock(TransferLock&& other) noexcept
    : m_descriptor(std::exchange(other.m_descriptor, -1)), m_refusal(std::move(other.m_refusal)) {}

TransferLock& TransferLock::operator=(TransferLock&& other) noexcept {
    if (this != &other) {
        Release();
        m_descriptor = std::exchange(other.m_descriptor, -1);
        m_refusal = std::move(other.m_refusal);
    }
    return *this;
}

void TransferLock::Release() noexcept {
    if (m_descriptor >= 0) {
        // Closing the last descriptor of the open file drops the flock.
        ::close(m_descriptor);
        m_descriptor = -1;
    }
}

}  // namespace warenkai
