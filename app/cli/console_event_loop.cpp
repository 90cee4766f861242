#include "app/cli/console_event_loop.h"

#include <thread>

namespace warenkai {

void ConsoleEventLoop::Pause(std::chrono::milliseconds duration) {
    if (duration.count() > 0) {
        std::this_thread::sleep_for(duration);
    }
}

}  // namespace warenkai
