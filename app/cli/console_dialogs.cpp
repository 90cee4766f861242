#include "app/cli/console_dialogs.h"

#include <istream>

#include "app/cli/console.h"
#include "pictures/picture_upload.h"

namespace warenkai {

void ConsoleDialogs::ShowMessage(const std::string& text) {
    m_console.PrintLine(text);
    m_failureShown = m_failureShown || text.rfind("Fehler", 0) == 0;
    m_notStarted = m_notStarted || text == kNoPictureFolderMessage || text == kInvalidPictureFolderMessage;
    if (!m_waitForEnter) {
        return;
    }
    m_waitForEnter = false;
    m_console.PrintLine(kPressEnterPrompt);
    std::string ignored;
    std::getline(m_in, ignored);
}

bool ConsoleDialogs::AskYesNo(const std::string& text) {
    m_console.PrintLine(text);
    m_console.PrintLine(kAnsweredNoText);
    return false;
}

std::optional<std::string> ConsoleDialogs::AskText(const std::string& prompt, const std::string& title,
                                                   const std::string&) {
    m_console.PrintLine(title.empty() ? prompt : title + ": " + prompt);
    m_console.PrintLine(kAnsweredEmptyText);
    return std::string();
}

}  // namespace warenkai
