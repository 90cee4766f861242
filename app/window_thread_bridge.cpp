#include "app/window_thread_bridge.h"

#include <mutex>

#include <QMetaObject>
#include <QObject>

namespace warenkai {
namespace {

// Qt's event queue runs a posted call after it was posted, but Qt is not instrumented, so
// ThreadSanitizer cannot see that order between the thread that built the call and the window's
// thread that runs it. A call is built and posted under this lock, and taken under it before it runs.
std::mutex& HandOverLock() {
    static std::mutex lock;
    return lock;
}

void TakeOver() {
    const std::lock_guard lock(HandOverLock());
}

}  // namespace

WindowThreadBridge::WindowThreadBridge(QObject& receiver) : m_receiver(receiver) {}

void WindowThreadBridge::Post(std::function<void()> call) {
    const std::lock_guard handOver(HandOverLock());
    QMetaObject::invokeMethod(
        &m_receiver,
        [shared = m_shared, call = std::move(call)] {
            TakeOver();
            {
                std::lock_guard lock(shared->mutex);
                if (shared->closed) {
                    return;
                }
            }
            call();
        },
        Qt::QueuedConnection);
}

bool WindowThreadBridge::Run(std::function<void()> call) {
    struct Answer {
        bool done = false;
    };
    auto answer = std::make_shared<Answer>();
    {
        std::lock_guard lock(m_shared->mutex);
        if (m_shared->closed) {
            return false;
        }
    }
    {
        const std::lock_guard handOver(HandOverLock());
        QMetaObject::invokeMethod(
            &m_receiver,
            [shared = m_shared, answer, call = std::move(call)] {
                TakeOver();
                {
                    std::lock_guard lock(shared->mutex);
                    if (shared->closed) {
                        return;
                    }
                }
                call();
                {
                    std::lock_guard lock(shared->mutex);
                    answer->done = true;
                }
                shared->answered.notify_all();
            },
            Qt::QueuedConnection);
    }
    std::unique_lock lock(m_shared->mutex);
    m_shared->answered.wait(lock, [&] { return answer->done || m_shared->closed; });
    return answer->done;
}

void WindowThreadBridge::Close() {
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->closed = true;
    }
    m_shared->answered.notify_all();
}

}  // namespace warenkai
