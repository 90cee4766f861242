#include "import/failure_notes.h"

#include <algorithm>

namespace warenkai {

void FailureNotes::Add(const std::string& text) {
    ++m_count;
    const std::string shown = text.empty() ? std::string("unbekannter Fehler") : text;
    if (std::find(m_texts.begin(), m_texts.end(), shown) != m_texts.end()) {
        return;
    }
    if (m_texts.size() < kShownTexts) {
        m_texts.push_back(shown);
    } else {
        ++m_hidden;
    }
}

std::string FailureNotes::Summary() const {
    std::string summary;
    for (const auto& text : m_texts) {
        if (!summary.empty()) {
            summary += "; ";
        }
        summary += text;
    }
    if (m_hidden > 0) {
        summary += " (und " + std::to_string(m_hidden) + (m_hidden == 1 ? " weiterer Fehler)" : " weitere Fehler)");
    }
    return summary;
}

void FailureNotes::Clear() {
    m_texts.clear();
    m_count = 0;
    m_hidden = 0;
}

}  // namespace warenkai
