#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "app/main_services.h"
#include "app/window_thread_bridge.h"
#include "common/cancel_request.h"
#include "settings/settings.h"

namespace warenkai {

// One transfer started from the window, with everything it needs that the window's thread must not
// share with it: a copy of the settings and the makers of its own FTP control and Selectline objects,
// which are created, used and released on the transfer's thread.
struct TransferJob {
    TransferRunner run;
    Settings settings;
    std::function<std::unique_ptr<FtpControl>()> makeFtpControl;
    SelectlineFactory selectline;
    std::filesystem::path programFolder;
    // The transfer's name in the run history ("Protokoll.txt"); empty: the run is not recorded.
    std::string historyName;
};

// Runs the window's transfers on a thread of their own, one at a time. The transfer reports through
// stand-ins for the window's status area, dialogs and web opener that hand every call over to the
// window's thread: status texts, error lines and progress as queued calls, a message box, question or
// page-open by waiting until the window has done it and the user has answered. What the user sees
// comes in the order the transfer made it.
class TransferThread {
public:
    // `window` receives the handed-over calls; the three are the window's own and live on its thread.
    TransferThread(QObject& window, StatusArea& status, UserDialogs& dialogs, WebOpener& web);
    // Cancels a running transfer and waits for it; a box it waits for is answered as closed.
    ~TransferThread();
    TransferThread(const TransferThread&) = delete;
    TransferThread& operator=(const TransferThread&) = delete;

    // Starts `job` (on the window's thread, when none runs). `finished` runs on the window's thread
    // once the transfer has ended and its thread is gone.
    void Start(TransferJob job, std::function<void(TransferOutcome)> finished);
    // Asks the running transfer to stop at its next safe point.
    void Cancel();
    bool Running() const { return m_running; }

private:
    StatusArea& m_windowStatus;
    UserDialogs& m_windowDialogs;
    WebOpener& m_windowWeb;
    WindowThreadBridge m_bridge;
    std::unique_ptr<CancelRequest> m_cancel;
    std::thread m_thread;
    bool m_running = false;
};

}  // namespace warenkai
