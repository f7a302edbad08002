// Lets an event through at most once per interval: what a page's script may ask for as often as
// it likes (a window of the player's browser, say) is not done faster than a player could follow.
#pragma once
#include <cstdint>

namespace base {

class RateLimit {
public:
    explicit constexpr RateLimit(uint64_t intervalMs) : m_interval(intervalMs) {}

    // True, and the time kept, when `nowMs` (a clock that never goes back) lies at least the
    // interval after the last event let through, or none was; false otherwise.
    bool Allow(uint64_t nowMs) {
        if (m_passed && nowMs - m_last < m_interval) return false;
        m_passed = true;
        m_last = nowMs;
        return true;
    }

private:
    uint64_t m_interval;
    uint64_t m_last = 0;
    bool m_passed = false;
};

} // namespace base
