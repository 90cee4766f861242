#pragma once

#include <filesystem>
#include <string>

#include "common/utf8_path.h"
#include "platform/files.h"

namespace warenkai {

// The lock file in the program folder that keeps two transfers from running at once on the same
// folder (its article files, its settings and its Selectline database), whether they are started
// from the window, from the command line or from both.
inline constexpr const char* kTransferLockFileName = "warenkai.lock";

// What the user is told when another transfer holds the lock.
inline constexpr const char* kTransferLockBusyText =
    "Es läuft bereits eine Übertragung für diesen Programmordner. Bitte warten Sie, bis sie beendet ist.";

// Held from construction to destruction when Held() is true. The lock is the system's lock on the
// open file (flock, LockFileEx), which it drops when the process ends in any way, so a lock file left
// behind by a crashed run blocks nobody. The file itself is never removed. The lock is not inherited
// by programs the process starts (a browser must not keep it).
//
//     TransferLock lock(programFolder);
//     if (!lock.Held()) {
//         dialogs.ShowMessage(lock.RefusalText());
//         return;
//     }
//     ... run the transfer ...
class TransferLock {
public:
    // Tries once, without waiting.
    explicit TransferLock(const std::filesystem::path& programFolder);

    bool Held() const { return m_lock.Held(); }
    // Why the lock is not held (German, for the user): kTransferLockBusyText when another transfer
    // holds it, else a text naming the lock file and the system's reason. Empty while held.
    const std::string& RefusalText() const { return m_refusal; }

    // Gives the lock up now (the destructor does it otherwise).
    void Release() noexcept;

private:
    FileLock m_lock;
    std::string m_refusal;
};

}  // namespace warenkai
