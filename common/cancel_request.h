#pragma once

#include <atomic>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace warenkai {

// The user's wish to stop a running transfer (the window's "Abbrechen", closing the window, Ctrl-C on
// the command line). It may be set from any thread or from a signal handler; the transfer looks at it
// only at its safe points, where nothing is left half done.
class CancelRequest {
public:
    void Request() noexcept { m_requested.store(true, std::memory_order_relaxed); }
    bool Requested() const noexcept { return m_requested.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> m_requested{false};
    static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");
};

// Thrown at a safe point once a cancel was asked for; what() says how far the transfer got
// ("Abgebrochen nach 1.234 von 10.000 Artikeln").
class TransferCancelled : public std::runtime_error {
public:
    explicit TransferCancelled(const std::string& text) : std::runtime_error(text) {}
};

// "1.234": a count with a point between thousands, as German texts write it.
std::string GermanCount(std::int64_t count);

// "Abgebrochen nach <done> von <total> <unit>"; `unit` is the dative plural ("Artikeln", "Bildern").
std::string CancelledAfter(std::int64_t done, std::int64_t total, const char* unit);

// Throws TransferCancelled with CancelledAfter's text when a cancel was asked for.
void StopIfCancelled(const CancelRequest& cancel, std::int64_t done, std::int64_t total, const char* unit);

}  // namespace warenkai
