#include "platform/interrupt.h"

#include <windows.h>

#include <atomic>

#include "common/cancel_request.h"

namespace warenkai {
namespace {

std::atomic<CancelRequest*> g_cancel{nullptr};
std::atomic<bool> g_interrupted{false};

BOOL WINAPI OnConsoleEvent(DWORD) {
    if (g_interrupted.exchange(true)) {
        ::ExitProcess(2);
    }
    if (CancelRequest* cancel = g_cancel.load()) {
        cancel->Request();
    }
    return TRUE;
}

}  // namespace

void CancelOnInterrupt(CancelRequest& cancel) {
    g_cancel.store(&cancel);
    ::SetConsoleCtrlHandler(&OnConsoleEvent, TRUE);
}

}  // namespace warenkai
