#pragma once

#include <optional>
#include <string>

namespace warenkai {

// The modal boxes the program shows. Each call returns only when the user has answered.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    // Message box with an OK button only, no icon and an empty title.
    virtual void ShowMessage(const std::string& text) = 0;
    // Question with the buttons Yes and No and an empty title; true for Yes.
    virtual bool AskYesNo(const std::string& text) = 0;
    // One-line input box; `preset` is the answer shown at first. std::nullopt when the user cancels
    // (an OK with an empty field gives an empty text).
    virtual std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                               const std::string& preset) = 0;
};

}  // namespace warenkai
