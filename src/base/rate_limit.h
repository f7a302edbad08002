// At most one event per interval: what a web page may ask for again and again (a client start, a
// window of the player's browser) happens at the pace of a person, not of a script.
#pragma once
#include <cstdint>

namespace base {

class RateLimit {
public:
    explicit constexpr RateLimit(uint64_t intervalMs) : m_intervalMs(intervalMs) {}

    // Whether an event at nowMs (a monotonic clock in milliseconds) may go ahead: the first one
    // does, and then one at least the interval after the last that went ahead. A refused event
    // does not count, so a steady stream still gets one through per interval.
    bool Allow(uint64_t nowMs) {
        if (m_any && nowMs - m_lastMs < m_intervalMs) return false;
        m_any = true;
        m_lastMs = nowMs;
        return true;
    }

private:
    uint64_t m_intervalMs;
    uint64_t m_lastMs = 0;
    bool m_any = false;
};

} // namespace base
