#include "app/cli/console.h"

#include <algorithm>
#include <ostream>

namespace warenkai {
namespace {

constexpr int kBarWidth = 30;

}  // namespace

Console::Console(std::ostream& out, std::ostream& err, bool drawProgress)
    : m_out(out), m_err(err), m_drawProgress(drawProgress) {}

void Console::PrintLine(const std::string& text) {
    EraseBar();
    m_out << Printable(text) << '\n';
    m_out.flush();
    DrawBar();
}

void Console::PrintErrorLine(const std::string& text) {
    // Standard output first, so lines of both streams on one terminal keep their order.
    m_out.flush();
    EraseBar();
    m_err << Printable(text) << '\n';
    m_err.flush();
    DrawBar();
}

void Console::ShowProgress(int value, int maximum) {
    if (!m_drawProgress) {
        return;
    }
    std::string bar = ProgressBarText(value, maximum);
    if (bar == m_bar && m_barOnScreen) {
        return;
    }
    m_bar = std::move(bar);
    m_out.flush();
    DrawBar();
}

void Console::EndProgress() {
    EraseBar();
    m_bar.clear();
}

std::string Console::ProgressBarText(int value, int maximum) {
    int percent = 0;
    int filled = 0;
    if (maximum > 0) {
        const long long clamped = std::clamp<long long>(value, 0, maximum);
        percent = static_cast<int>(clamped * 100 / maximum);
        filled = static_cast<int>(clamped * kBarWidth / maximum);
    }
    std::string text = "[";
    text.append(static_cast<std::size_t>(filled), '#');
    text.append(static_cast<std::size_t>(kBarWidth - filled), ' ');
    text += "] ";
    const std::string number = std::to_string(percent);
    text.append(3 - number.size(), ' ');
    text += number + " %";
    return text;
}

std::string Console::Printable(const std::string& text) {
    std::string printable;
    printable.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte < 0x20 && byte != '\n' && byte != '\t') || byte == 0x7F) {
            printable += '?';
        } else if (byte == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            // U+0080 to U+009F, the second set of control characters.
            printable += '?';
            ++i;
        } else {
            printable += text[i];
        }
    }
    return printable;
}

void Console::EraseBar() {
    if (!m_barOnScreen) {
        return;
    }
    m_err << '\r' << std::string(m_bar.size(), ' ') << '\r';
    m_err.flush();
    m_barOnScreen = false;
}

void Console::DrawBar() {
    if (!m_drawProgress || m_bar.empty()) {
        return;
    }
    m_err << '\r' << m_bar;
    m_err.flush();
    m_barOnScreen = true;
}

}  // namespace warenkai
