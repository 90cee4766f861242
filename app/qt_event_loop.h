#pragma once

#include <chrono>

#include "common/event_loop.h"

namespace warenkai {

// Yields to Qt's event loop, so the window repaints and takes input while a transfer works.
class QtEventLoop final : public EventLoop {
public:
    void ProcessPendingEvents() override;
    void Pause(std::chrono::milliseconds duration) override;
    std::chrono::steady_clock::time_point Now() const override;
};

}  // namespace warenkai
