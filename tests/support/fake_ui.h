#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/status_area.h"
#include "common/user_dialogs.h"
#include "common/web_opener.h"
#include "tests/support/journal.h"

namespace warenkai::test {

// Status area that keeps its state like the window and journals "status: …", "errors cleared",
// "error: …" ("error: line [cause]" when the line has a cause). Progress changes are kept in
// `progressLog` and the result line in `result`, not journaled.
class RecordingStatusArea final : public StatusArea {
public:
    explicit RecordingStatusArea(Journal& journal) : m_journal(journal) {}

    void SetStatusText(const std::string& text) override {
        statusText = text;
        m_journal.Add("status: " + text);
        if (onStatus) {
            onStatus(text);
        }
    }
    void ClearErrors() override {
        errors.clear();
        causes.clear();
        m_journal.Add("errors cleared");
    }
    using StatusArea::AddError;
    void AddError(const std::string& line, const std::string& cause) override {
        errors.push_back(line);
        causes.push_back(cause);
        m_journal.Add("error: " + line + (cause.empty() ? "" : " [" + cause + "]"));
    }
    void SetResult(const std::string& line) override { result = line; }
    void SetProgressMaximum(int maximum) override {
        progressMaximum = maximum;
        progressLog.push_back("max " + std::to_string(maximum));
    }
    int ProgressMaximum() const override { return progressMaximum; }
    void SetProgressValue(int value) override {
        progressValue = value;
        progressLog.push_back("value " + std::to_string(value));
    }
    int ProgressValue() const override { return progressValue; }

    std::string statusText;
    std::vector<std::string> errors;  // the error list as it stands
    std::vector<std::string> causes;  // beside `errors`
    std::string result;
    int progressMaximum = 100;
    int progressValue = 0;
    std::vector<std::string> progressLog;  // "max N", "value N"
    // Called after each status text (a test can cancel at a chosen point).
    std::function<void(const std::string& text)> onStatus;

private:
    Journal& m_journal;
};

// Dialogs with scripted answers; journals "message: …", "question: …", "input: prompt|title|preset".
// A question or input box without a scripted answer fails the test.
class ScriptedDialogs final : public UserDialogs {
public:
    explicit ScriptedDialogs(Journal& journal) : m_journal(journal) {}

    void ShowMessage(const std::string& text) override {
        m_journal.Add("message: " + text);
    }
    bool AskYesNo(const std::string& text) override {
        m_journal.Add("question: " + text);
        return Answer(yesNoAnswers, text).value_or(false);
    }
    std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                       const std::string& preset) override {
        m_journal.Add("input: " + prompt + "|" + title + "|" + preset);
        return Answer(textAnswers, prompt).value_or(std::nullopt);
    }

    std::deque<bool> yesNoAnswers;
    std::deque<std::optional<std::string>> textAnswers;  // std::nullopt is Cancel

private:
    // The next scripted answer; none fails the test.
    template <typename T>
    static std::optional<T> Answer(std::deque<T>& answers, const std::string& box) {
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected box: " << box;
            return std::nullopt;
        }
        T answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }

    Journal& m_journal;
};

// Journals "open: <address>" and answers `opens`.
class RecordingWebOpener final : public WebOpener {
public:
    explicit RecordingWebOpener(Journal& journal) : m_journal(journal) {}
    PageOpening OpenWebAddress(const std::string& address) override {
        opened.push_back(address);
        m_journal.Add("open: " + address);
        return {opens, opens ? "" : "HTTP 500"};
    }

    std::vector<std::string> opened;
    bool opens = true;  // false: the page failed (the browser did not take it, the shop answered 500)

private:
    Journal& m_journal;
};

}  // namespace warenkai::test
