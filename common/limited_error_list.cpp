#include "common/limited_error_list.h"

#include "common/status_area.h"

namespace warenkai {

LimitedErrorList::LimitedErrorList(StatusArea& status, std::string fileName, std::size_t limit)
    : m_status(status), m_fileName(std::move(fileName)), m_limit(limit) {}

void LimitedErrorList::Add(const std::string& line) {
    if (m_added < m_limit) {
        ++m_added;
        m_status.AddError(line);
    } else {
        ++m_leftOut;
    }
}

void LimitedErrorList::Finish() {
    if (m_leftOut > 0) {
        m_status.AddError("Fehler: " + m_fileName + ": " + std::to_string(m_leftOut) +
                          (m_leftOut == 1 ? " weiterer Fehler" : " weitere Fehler") + " nicht einzeln aufgeführt");
        m_leftOut = 0;
    }
}

}  // namespace warenkai
