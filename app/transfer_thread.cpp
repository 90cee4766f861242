#include "app/transfer_thread.h"

#include <algorithm>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/run_history.h"
#include "common/status_area.h"
#include "common/user_dialogs.h"
#include "common/web_opener.h"
#include "shop/ftp_control.h"

namespace warenkai {
namespace {

// The status area as the transfer's thread sees it. Changes are gathered and handed to the window
// in one queued call per turn of its event loop, so ten thousand articles cost the window ten
// thousand repaints at most, not three hundred thousand calls. Error-list changes keep their order;
// of the status text and the progress only the newest counts, as the window would paint no other.
// The progress is mirrored here, so reading it back never waits for the window.
class HandedOverStatusArea final : public StatusArea {
public:
    HandedOverStatusArea(WindowThreadBridge& bridge, StatusArea& window)
        : m_bridge(bridge), m_window(window), m_maximum(window.ProgressMaximum()), m_value(window.ProgressValue()) {}

    void SetStatusText(const std::string& text) override {
        Change([&](Pending& pending) { pending.text = text; });
    }
    void ClearErrors() override {
        Change([](Pending& pending) { pending.errorLines.push_back(std::nullopt); });
    }
    void AddError(const std::string& line, const std::string& cause) override {
        Change([&](Pending& pending) { pending.errorLines.emplace_back(ErrorLine{line, cause}); });
    }
    void SetResult(const std::string& line) override {
        Change([&](Pending& pending) { pending.result = line; });
    }
    void SetProgressMaximum(int maximum) override {
        m_maximum = std::max(maximum, 0);
        m_value = std::min(m_value, m_maximum);
        Change([&](Pending& pending) {
            pending.maximum = maximum;
            pending.value.reset();
        });
    }
    int ProgressMaximum() const override { return m_maximum; }
    void SetProgressValue(int value) override {
        m_value = std::clamp(value, 0, m_maximum);
        Change([&](Pending& pending) { pending.value = value; });
    }
    int ProgressValue() const override { return m_value; }

private:
    struct ErrorLine {
        std::string line;
        std::string cause;
    };
    struct Pending {
        std::vector<std::optional<ErrorLine>> errorLines;  // std::nullopt clears the list
        std::optional<std::string> text;
        std::optional<std::string> result;
        std::optional<int> maximum;
        std::optional<int> value;
    };
    struct Shared {
        std::mutex mutex;
        Pending pending;
        bool handOverQueued = false;
    };

    template <typename Edit>
    void Change(Edit&& edit) {
        bool queue = false;
        {
            std::lock_guard lock(m_shared->mutex);
            edit(m_shared->pending);
            queue = !std::exchange(m_shared->handOverQueued, true);
        }
        if (queue) {
            m_bridge.Post([shared = m_shared, &window = m_window] { HandOver(*shared, window); });
        }
    }

    // On the window's thread.
    static void HandOver(Shared& shared, StatusArea& window) {
        Pending pending;
        {
            std::lock_guard lock(shared.mutex);
            pending = std::exchange(shared.pending, Pending{});
            shared.handOverQueued = false;
        }
        for (const auto& line : pending.errorLines) {
            if (line) {
                window.AddError(line->line, line->cause);
            } else {
                window.ClearErrors();
            }
        }
        if (pending.text) {
            window.SetStatusText(*pending.text);
        }
        if (pending.result) {
            window.SetResult(*pending.result);
        }
        if (pending.maximum) {
            window.SetProgressMaximum(*pending.maximum);
        }
        if (pending.value) {
            window.SetProgressValue(*pending.value);
        }
    }

    WindowThreadBridge& m_bridge;
    StatusArea& m_window;
    std::shared_ptr<Shared> m_shared = std::make_shared<Shared>();
    int m_maximum;
    int m_value;
};

// Boxes shown by the window while the transfer waits for the answer. A window that has closed
// answers No and an empty text.
class HandedOverDialogs final : public UserDialogs {
public:
    HandedOverDialogs(WindowThreadBridge& bridge, UserDialogs& window) : m_bridge(bridge), m_window(window) {}

    void ShowMessage(const std::string& text) override {
        m_bridge.Run([&] { m_window.ShowMessage(text); });
    }
    bool AskYesNo(const std::string& text) override {
        bool yes = false;
        m_bridge.Run([&] { yes = m_window.AskYesNo(text); });
        return yes;
    }
    std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                       const std::string& preset) override {
        std::optional<std::string> answer;
        m_bridge.Run([&] { answer = m_window.AskText(prompt, title, preset); });
        return answer;
    }

private:
    WindowThreadBridge& m_bridge;
    UserDialogs& m_window;
};

class HandedOverWebOpener final : public WebOpener {
public:
    HandedOverWebOpener(WindowThreadBridge& bridge, WebOpener& window) : m_bridge(bridge), m_window(window) {}

    // The window's answer; not opened when the window closed before the page was opened.
    PageOpening OpenWebAddress(const std::string& address) override {
        PageOpening opening{false, "Das Fenster wurde geschlossen"};
        m_bridge.Run([&] { opening = m_window.OpenWebAddress(address); });
        return opening;
    }

private:
    WindowThreadBridge& m_bridge;
    WebOpener& m_window;
};

}  // namespace

TransferThread::TransferThread(QObject& window, StatusArea& status, UserDialogs& dialogs, WebOpener& web)
    : m_windowStatus(status), m_windowDialogs(dialogs), m_windowWeb(web), m_bridge(window) {}

TransferThread::~TransferThread() {
    if (m_thread.joinable()) {
        m_cancel->Request();
        m_bridge.Close();
        m_thread.join();
    }
}

void TransferThread::Start(TransferJob job, std::function<void(TransferOutcome)> finished) {
    if (m_running) {
        return;
    }
    m_running = true;
    m_cancel = std::make_unique<CancelRequest>();
    // The stand-in is made here, on the window's thread, where the window's progress can be read.
    auto status = std::make_unique<HandedOverStatusArea>(m_bridge, m_windowStatus);
    m_thread = std::thread([this, job = std::move(job), finished = std::move(finished), status = std::move(status)] {
        HandedOverDialogs dialogs(m_bridge, m_windowDialogs);
        HandedOverWebOpener web(m_bridge, m_windowWeb);
        TransferOutcome outcome = TransferOutcome::Stopped;
        RunRecorder recorder(*status, job.historyName, std::time(nullptr));
        StatusArea& shown = job.historyName.empty() ? static_cast<StatusArea&>(*status) : recorder;
        RunTransfer(shown, dialogs, [&] {
            const std::unique_ptr<FtpControl> ftp = job.makeFtpControl();
            TransferContext context{shown, dialogs, web, *ftp, job.selectline, job.programFolder, *m_cancel};
            outcome = job.run(job.settings, context);
        });
        if (!job.historyName.empty()) {
            recorder.Record(outcome, job.programFolder);
        }
        m_bridge.Post([this, finished, outcome] {
            m_thread.join();
            m_running = false;
            finished(outcome);
        });
    });
}

void TransferThread::Cancel() {
    if (m_running) {
        m_cancel->Request();
    }
}

}  // namespace warenkai
