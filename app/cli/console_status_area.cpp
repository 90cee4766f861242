#include "app/cli/console_status_area.h"

#include <algorithm>

#include "app/cli/console.h"
#include "shop/shop_connection.h"

namespace warenkai {

void ConsoleStatusArea::SetStatusText(const std::string& text) {
    if (text == m_statusText) {
        return;
    }
    m_statusText = text;
    if (text == kConnectionFailedStatus) {
        m_connectionFailed = true;
    }
    // An emptied label shows nothing; there is no line to print for it.
    if (!text.empty()) {
        m_console.PrintLine(text);
    }
}

void ConsoleStatusArea::ClearErrors() {
    m_errorCount = 0;
}

void ConsoleStatusArea::AddError(const std::string& line, const std::string& cause) {
    ++m_errorCount;
    // The cause indented below its line, each of its lines; printed at once, so the bar stays below.
    std::string text = line;
    if (!cause.empty()) {
        text += "\n    " + cause;
        for (std::size_t at = text.find('\n', line.size() + 1); at != std::string::npos; at = text.find('\n', at + 1)) {
            text.insert(at + 1, "    ");
        }
    }
    m_console.PrintErrorLine(text);
}

void ConsoleStatusArea::SetProgressMaximum(int maximum) {
    // Kept as the window's bar keeps it: the lower end stays 0 and the value within the range.
    m_maximum = std::max(maximum, 0);
    m_value = std::min(m_value, m_maximum);
    m_console.ShowProgress(m_value, m_maximum);
}

void ConsoleStatusArea::SetProgressValue(int value) {
    m_value = std::clamp(value, 0, m_maximum);
    m_console.ShowProgress(m_value, m_maximum);
}

}  // namespace warenkai
