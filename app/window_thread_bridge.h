#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

class QObject;

namespace warenkai {

// Hands calls from a transfer's thread to the window's thread, where every widget lives.
// - Post queues a call and returns at once; posted calls run in the order they were posted.
// - Run queues a call and waits until the window's thread has run it (a message box has been
//   answered, a page opened).
// - Close (on the window's thread, when the window goes away) releases every waiting Run and makes
//   the calls not yet run, and every later one, do nothing, so a transfer never waits for a window
//   that is gone.
class WindowThreadBridge {
public:
    // `receiver` lives on the window's thread and outlives the bridge's use.
    explicit WindowThreadBridge(QObject& receiver);

    void Post(std::function<void()> call);
    // False when the call was not run because the window closed first.
    bool Run(std::function<void()> call);
    void Close();

private:
    struct Shared {
        std::mutex mutex;
        std::condition_variable answered;
        bool closed = false;
    };

    QObject& m_receiver;
    std::shared_ptr<Shared> m_shared = std::make_shared<Shared>();
};

}  // namespace warenkai
