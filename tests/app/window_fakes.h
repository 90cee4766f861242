#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "common/user_dialogs.h"
#include "common/web_opener.h"
#include "shop/ftp_control.h"

namespace warenkai::test {

// Dialogs with scripted answers. `shown` lists "message: …", "question: …" and
// "input: prompt|title|preset" in order; a question or input box without an answer left is listed
// as "unexpected …" and answered No / Cancel.
class ScriptedWindowDialogs final : public UserDialogs {
public:
    void ShowMessage(const std::string& text) override { shown.push_back("message: " + text); }
    bool AskYesNo(const std::string& text) override {
        shown.push_back("question: " + text);
        if (yesNo.empty()) {
            shown.push_back("unexpected question");
            return false;
        }
        const bool answer = yesNo.front();
        yesNo.pop_front();
        return answer;
    }
    std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                       const std::string& preset) override {
        shown.push_back("input: " + prompt + "|" + title + "|" + preset);
        if (answers.empty()) {
            shown.push_back("unexpected input box");
            return {};
        }
        const auto answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::vector<std::string> shown;
    std::deque<bool> yesNo;
    std::deque<std::optional<std::string>> answers;  // std::nullopt is Cancel
};

class RecordingWindowWeb final : public WebOpener {
public:
    PageOpening OpenWebAddress(const std::string& address) override {
        opened.push_back(address);
        return {opens, opens ? "" : "kein Browser"};
    }
    std::vector<std::string> opened;
    bool opens = true;
};

// FTP control that does nothing.
class IdleFtpControl final : public FtpControl {
public:
    bool connect(const std::string&, const std::string&, const std::string&, std::int32_t) override { return false; }
    bool upload(const std::filesystem::path&, const std::string&, std::int32_t) override { return false; }
    bool download(const std::filesystem::path&, const std::string&) override { return false; }
    void disconnect() override {}
    void setTransfertype(std::int32_t) override {}
};

// Runs `inspect` on the modal window that the next call opens (the call itself blocks in the window's
// own event loop), then closes that window if `inspect` left it open, so a failed check cannot leave a
// test waiting for ever. Returns a flag that tells whether a modal window was seen.
inline std::shared_ptr<bool> WhenModalOpens(std::function<void(QWidget& modal)> inspect) {
    auto seen = std::make_shared<bool>(false);
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer,
                     [timer, seen, inspect = std::move(inspect), triesLeft = 500]() mutable {
                         QWidget* modal = QApplication::activeModalWidget();
                         if (modal == nullptr && --triesLeft > 0) {
                             return;
                         }
                         timer->stop();
                         timer->deleteLater();
                         if (modal == nullptr) {
                             return;
                         }
                         *seen = true;
                         QPointer<QWidget> guard(modal);
                         inspect(*modal);
                         if (guard && guard->isVisible()) {
                             guard->close();
                         }
                     });
    timer->start();
    return seen;
}

}  // namespace warenkai::test
