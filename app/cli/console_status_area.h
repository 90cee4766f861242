#pragma once

#include <string>

#include "common/status_area.h"

namespace warenkai {

class Console;

// The status area of a run without window. Each new status text is one line on standard output, as
// the window's label would show it (setting the text it already shows prints nothing); each line
// of the error list is one line on standard error as it is added, its cause indented on the line
// below; the progress bar is drawn on standard error when that is a terminal. The result line is
// kept for the run's last line of standard output.
class ConsoleStatusArea final : public StatusArea {
public:
    explicit ConsoleStatusArea(Console& console) : m_console(console) {}

    void SetStatusText(const std::string& text) override;
    void ClearErrors() override;
    using StatusArea::AddError;
    void AddError(const std::string& line, const std::string& cause) override;
    void SetResult(const std::string& line) override { m_result = line; }
    void SetProgressMaximum(int maximum) override;
    int ProgressMaximum() const override { return m_maximum; }
    void SetProgressValue(int value) override;
    int ProgressValue() const override { return m_value; }

    // The lines the error list holds now (since it was last cleared).
    int ErrorCount() const { return m_errorCount; }
    const std::string& StatusText() const { return m_statusText; }
    const std::string& Result() const { return m_result; }
    // Whether a connection to the shop failed; the window reports that by its status text alone.
    bool ConnectionFailed() const { return m_connectionFailed; }

private:
    Console& m_console;
    std::string m_statusText;
    std::string m_result;
    int m_errorCount = 0;
    bool m_connectionFailed = false;
    // As the window's bar starts: range 0 to 100, at 0.
    int m_maximum = 100;
    int m_value = 0;
};

}  // namespace warenkai
