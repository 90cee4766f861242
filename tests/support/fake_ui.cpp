#include "tests/support/fake_ui.h"

#include <gtest/gtest.h>

namespace warenkai::test {

void RecordingStatusArea::SetStatusText(const std::string& text) {
    statusText = text;
    m_journal.Add("status: " + text);
    if (onStatus) {
        onStatus(text);
    }
}

void RecordingStatusArea::ClearErrors() {
    errors.clear();
    causes.clear();
    m_journal.Add("errors cleared");
}

void RecordingStatusArea::AddError(const std::string& line, const std::string& cause) {
    errors.push_back(line);
    causes.push_back(cause);
    m_journal.Add("error: " + line + (cause.empty() ? "" : " [" + cause + "]"));
}

void RecordingStatusArea::SetProgressMaximum(int maximum) {
    progressMaximum = maximum;
    progressLog.push_back("max " + std::to_string(maximum));
}

void RecordingStatusArea::SetProgressValue(int value) {
    progressValue = value;
    progressLog.push_back("value " + std::to_string(value));
}

void ScriptedDialogs::ShowMessage(const std::string& text) {
    m_journal.Add("message: " + text);
    if (onMessage) {
        onMessage(text);
    }
}

bool ScriptedDialogs::AskYesNo(const std::string& text) {
    m_journal.Add("question: " + text);
    if (yesNoAnswers.empty()) {
        ADD_FAILURE() << "unexpected question: " << text;
        return false;
    }
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedDialogs::AskText(const std::string& prompt, const std::string& title,
                                                    const std::string& preset) {
    m_journal.Add("input: " + prompt + "|" + title + "|" + preset);
    if (textAnswers.empty()) {
        ADD_FAILURE() << "unexpected input box: " << prompt;
        return {};
    }
    const auto answer = textAnswers.front();
    textAnswers.pop_front();
    return answer;
}

PageOpening RecordingWebOpener::OpenWebAddress(const std::string& address) {
    opened.push_back(address);
    m_journal.Add("open: " + address);
    return {opens, opens ? "" : "HTTP 500"};
}

}  // namespace warenkai::test
