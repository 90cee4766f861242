#pragma once

#include <iosfwd>
#include <string>

namespace warenkai {

// The terminal of a run without window: lines on standard output and standard error, and, when
// standard error is a terminal, a progress bar drawn on its last line. The bar is erased before any
// line is printed and drawn again below it, so it never mixes with the text.
class Console {
public:
    Console(std::ostream& out, std::ostream& err, bool drawProgress);
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    // One line on standard output, flushed at once.
    void PrintLine(const std::string& text);
    // One line on standard error.
    void PrintErrorLine(const std::string& text);

    // The progress bar at value / maximum (a maximum of 0 shows an empty bar). Draws only when the
    // drawn text changes; nothing when progress is not drawn.
    void ShowProgress(int value, int maximum);
    // Erases the bar for good (the end of a run); the next ShowProgress draws it again.
    void EndProgress();

    // The text of the bar for value / maximum: "[###############               ]  50 %".
    static std::string ProgressBarText(int value, int maximum);

    // `text` with every control character but line feed and tab shown as "?", so that values
    // from the shop or from Selectline cannot move the cursor or recolour the terminal (the
    // window's label shows such characters harmlessly too).
    static std::string Printable(const std::string& text);

private:
    void EraseBar();
    void DrawBar();

    std::ostream& m_out;
    std::ostream& m_err;
    bool m_drawProgress;
    std::string m_bar;  // the bar's text, empty while there is none
    bool m_barOnScreen = false;
};

}  // namespace warenkai
