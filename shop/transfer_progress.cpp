#include "shop/transfer_progress.h"

#include <cmath>

#include "common/status_area.h"

namespace warenkai {
namespace {

// Rounds to a whole number with halves going to the even neighbour (12.5 → 12, 13.5 → 14), the way
// the bar's value has always been rounded; written out so it does not hang on the processor's
// rounding mode.
double RoundHalfToEven(double value) {
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5) {
        return below + 1.0;
    }
    if (fraction < 0.5) {
        return below;
    }
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

}  // namespace

void ShowTransferProgress(StatusArea& status, std::int64_t total, std::int64_t done) {
    status.SetProgressMaximum(100);
    if (total == 0) {
        return;
    }
    const double percent = static_cast<double>(done) / static_cast<double>(total) * 100.0;
    const double rounded = RoundHalfToEven(percent);
    // Also false for NaN.
    if (!(rounded >= 0.0 && rounded <= 100.0)) {
        return;
    }
    status.SetProgressValue(static_cast<int>(rounded));
}

}  // namespace warenkai
