#pragma once

#include <string>

#include "common/user_dialogs.h"

class QWidget;

namespace warenkai {

// Message boxes and the input box, modal over `owner`.
class QtUserDialogs final : public UserDialogs {
public:
    explicit QtUserDialogs(QWidget* owner) : m_owner(owner) {}

    void ShowMessage(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                       const std::string& preset) override;

private:
    QWidget* m_owner;
};

}  // namespace warenkai
