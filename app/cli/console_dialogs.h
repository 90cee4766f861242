#pragma once

#include <iosfwd>
#include <string>

#include "common/user_dialogs.h"

namespace warenkai {

class Console;

// The message boxes of a run without window. A message box's text is printed on standard output
// and confirmed at once, as if OK had been pressed. When a page has just been opened in the
// desktop's browser (WaitForEnterAtNextMessage), the next message box waits instead until Enter is
// pressed on standard input (or it ends), so the user confirms there what the window's OK confirms.
// A question answers No and an input box answers empty; both say so on standard output.
class ConsoleDialogs final : public UserDialogs {
public:
    ConsoleDialogs(Console& console, std::istream& in) : m_console(console), m_in(in) {}

    void ShowMessage(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                       const std::string& preset) override;

    void WaitForEnterAtNextMessage() { m_waitForEnter = true; }

    // A message box told that a file could not be opened ("Fehler beim öffnen von …").
    bool FailureShown() const { return m_failureShown; }
    // A message box told that the transfer could not begin (no or no valid picture folder).
    bool NotStarted() const { return m_notStarted; }

private:
    Console& m_console;
    std::istream& m_in;
    bool m_waitForEnter = false;
    bool m_failureShown = false;
    bool m_notStarted = false;
};

// The prompt printed below a message box that waits for Enter.
inline constexpr const char* kPressEnterPrompt = "[Eingabetaste = OK]";
// Printed below a question, which a run without window answers with No.
inline constexpr const char* kAnsweredNoText = "Antwort: Nein (ohne Fenster)";
// Printed below an input box, which a run without window answers with an empty text.
inline constexpr const char* kAnsweredEmptyText = "Eingabe: leer (ohne Fenster)";

}  // namespace warenkai
