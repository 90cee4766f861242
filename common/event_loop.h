#pragma once

#include <chrono>

namespace warenkai {

// Lets the window handle its pending events while a transfer runs on the user-interface thread.
class EventLoop {
public:
    virtual ~EventLoop() = default;

    // One yield: handle the events that are pending now, then return.
    virtual void ProcessPendingEvents() = 0;
    // Wait about `duration`, handling events meanwhile so the window stays responsive and the
    // processor idle.
    virtual void Pause(std::chrono::milliseconds duration) = 0;
    // The clock that `Pause` advances; waits with a time limit measure against it.
    virtual std::chrono::steady_clock::time_point Now() const = 0;
};

}  // namespace warenkai
