#include "common/cancel_request.h"

namespace warenkai {

std::string GermanCount(std::int64_t count) {
    const bool negative = count < 0;
    // Digits from the right; the unsigned detour keeps the smallest value whole.
    auto magnitude = negative ? 0 - static_cast<std::uint64_t>(count) : static_cast<std::uint64_t>(count);
    std::string reversed;
    int digits = 0;
    do {
        if (digits > 0 && digits % 3 == 0) {
            reversed.push_back('.');
        }
        reversed.push_back(static_cast<char>('0' + magnitude % 10));
        magnitude /= 10;
        ++digits;
    } while (magnitude != 0);
    if (negative) {
        reversed.push_back('-');
    }
    return {reversed.rbegin(), reversed.rend()};
}

std::string CancelledAfter(std::int64_t done, std::int64_t total, const char* unit) {
    return "Abgebrochen nach " + GermanCount(done) + " von " + GermanCount(total) + " " + unit;
}

void StopIfCancelled(const CancelRequest& cancel, std::int64_t done, std::int64_t total, const char* unit) {
    if (cancel.Requested()) {
        throw TransferCancelled(CancelledAfter(done, total, unit));
    }
}

}  // namespace warenkai
