#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>

#include "common/status_area.h"

namespace warenkai {

// Counts the steps of one stage on the progress bar: the range is the number of steps, and every
// step moves the bar by one until it is full.
class ProgressCounter {
public:
    ProgressCounter(StatusArea& status, std::int64_t steps) : m_status(status) {
        m_maximum = static_cast<int>(std::clamp<std::int64_t>(steps, 0, INT_MAX));
        if (m_maximum > 0) {
            m_status.SetProgressMaximum(m_maximum);
        }
        m_status.SetProgressValue(0);
    }

    void Step() {
        if (m_value < m_maximum) {
            m_status.SetProgressValue(++m_value);
        }
    }

private:
    StatusArea& m_status;
    int m_maximum = 0;
    int m_value = 0;
};

}  // namespace warenkai
