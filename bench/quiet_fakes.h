#pragma once

// The window and the shop as a benchmark needs them: they keep what they are told, show nothing and
// cost next to nothing, so a measurement sees the transfer's own work.

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "common/cancel_request.h"
#include "common/status_area.h"
#include "common/transfer_context.h"
#include "common/user_dialogs.h"
#include "common/web_opener.h"
#include "shop/ftp_control.h"
#include "tests/support/recording_ftp.h"

namespace warenkai::bench {

// Keeps the status text, the result line, the progress bar and the error lines (every line is counted,
// the first `keptErrors` are kept, without their causes).
class QuietStatus final : public StatusArea {
public:
    void SetStatusText(const std::string& text) override { statusText = text; }
    void ClearErrors() override {
        errors.clear();
        errorCount = 0;
    }
    using StatusArea::AddError;
    void AddError(const std::string& line, const std::string&) override {
        if (errors.size() < keptErrors) {
            errors.push_back(line);
        }
        ++errorCount;
    }
    void SetResult(const std::string& line) override { result = line; }
    void SetProgressMaximum(int maximum) override { m_maximum = maximum; }
    int ProgressMaximum() const override { return m_maximum; }
    void SetProgressValue(int value) override { m_value = value; }
    int ProgressValue() const override { return m_value; }

    std::string statusText;
    std::string result;
    std::vector<std::string> errors;
    std::size_t keptErrors = 10;
    std::int64_t errorCount = 0;

private:
    int m_maximum = 100;
    int m_value = 0;
};

// Message boxes are counted (the last text kept); questions are answered No, input boxes Cancel.
class QuietDialogs final : public UserDialogs {
public:
    void ShowMessage(const std::string& text) override {
        lastMessage = text;
        ++messageCount;
    }
    bool AskYesNo(const std::string&) override { return false; }
    std::optional<std::string> AskText(const std::string&, const std::string&, const std::string&) override {
        return std::nullopt;
    }

    std::string lastMessage;
    int messageCount = 0;
};

class QuietWeb final : public WebOpener {
public:
    PageOpening OpenWebAddress(const std::string&) override { return {.opened = true, .failure = {}}; }
};

// All of it together, and a transfer context over it:
//     QuietWindow window;
//     TransferContext context = window.Context(MakeMemorySelectline(database), folder);
struct QuietWindow {
    QuietStatus status;
    QuietDialogs dialogs;
    QuietWeb web;
    test::IdleFtpControl ftp;
    CancelRequest cancel;

    TransferContext Context(SelectlineFactory selectline, std::filesystem::path programFolder) {
        return TransferContext{status, dialogs, web, ftp, std::move(selectline), std::move(programFolder), cancel};
    }
};

}  // namespace warenkai::bench
