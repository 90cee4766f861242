#pragma once

#include <chrono>

#include "common/event_loop.h"

namespace warenkai {

// The event loop of a run without window: there are no events to handle, a pause sleeps.
class ConsoleEventLoop final : public EventLoop {
public:
    void ProcessPendingEvents() override {}
    void Pause(std::chrono::milliseconds duration) override;
    std::chrono::steady_clock::time_point Now() const override { return std::chrono::steady_clock::now(); }
};

}  // namespace warenkai
