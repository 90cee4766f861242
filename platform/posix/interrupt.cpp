#include "platform/interrupt.h"

#include <unistd.h>
#include <atomic>
#include <csignal>

#include "common/cancel_request.h"

namespace warenkai {
namespace {

std::atomic<CancelRequest*> g_cancel{nullptr};
std::atomic<bool> g_interrupted{false};

extern "C" void OnInterrupt(int) {
    if (g_interrupted.exchange(true)) {
        ::_exit(2);
    }
    if (CancelRequest* cancel = g_cancel.load()) {
        cancel->Request();
    }
}

}  // namespace

void CancelOnInterrupt(CancelRequest& cancel) {
    g_cancel.store(&cancel);
    struct sigaction action {};
    action.sa_handler = &OnInterrupt;
    sigemptyset(&action.sa_mask);
    // A console read or a sleep interrupted by the signal goes on; the transfer sees the cancel at
    // its next safe point.
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

}  // namespace warenkai
