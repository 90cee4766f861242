#include "shop/transfer_progress.h"

#include <cmath>

#include "common/status_area.h"

namespace warenkai {

void ShowTransferProgress(StatusArea& status, std::int64_t total, std::int64_t done) {
    status.SetProgressMaximum(100);
    if (total == 0) {
        return;
    }
    const double percent = static_cast<double>(done) / static_cast<double>(total) * 100.0;
    // nearbyint rounds halves to the even neighbour in the default rounding mode.
    const double rounded = std::nearbyint(percent);
    if (!(rounded >= 0.0 && rounded <= 100.0)) {
        return;
    }
    status.SetProgressValue(static_cast<int>(rounded));
}

}  // namespace warenkai
