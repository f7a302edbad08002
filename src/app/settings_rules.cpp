#include "app/settings_rules.h"

#include "app/start_mode.h"
#include "base/text.h"

std::array<uint8_t, 16> EncodeUtcTime(const UtcTime& t) {
    const uint16_t fields[8] = {t.year, t.month,  t.dayOfWeek, t.day,
                                t.hour, t.minute, t.second,    t.milliseconds};
    std::array<uint8_t, 16> out{};
    for (int i = 0; i < 8; ++i) {
        out[2 * i] = static_cast<uint8_t>(fields[i] & 0xFF);
        out[2 * i + 1] = static_cast<uint8_t>(fields[i] >> 8);
    }
    return out;
}

UtcTime DecodeUtcTime(const uint8_t* bytes, size_t size) {
    uint16_t fields[8] = {};
    for (size_t i = 0; i < 8; ++i) {
        const uint16_t lo = (2 * i < size) ? bytes[2 * i] : 0;
        const uint16_t hi = (2 * i + 1 < size) ? bytes[2 * i + 1] : 0;
        fields[i] = static_cast<uint16_t>(lo | (hi << 8));
    }
    return UtcTime{fields[0], fields[1], fields[2], fields[3], fields[4], fields[5], fields[6], fields[7]};
}

uint32_t NextCounterValue(std::wstring_view stored) {
    return static_cast<uint32_t>(base::ParseLong(stored)) + 1u;
}

std::wstring CounterText(uint32_t value) {
    return std::to_wstring(value);
}

namespace {
// The C runtime's rand() as the program meets it: never seeded, nothing else draws from it,
// so every process sees the same first two values.
class RuntimeRand {
public:
    int Next() {
        m_state = m_state * 214013u + 2531011u;
        return static_cast<int>((m_state >> 16) & 0x7FFF);
    }

private:
    uint32_t m_state = 1;
};
} // namespace

std::array<uint8_t, 4> ChooseDisableDaysFor(unsigned milliseconds) {
    RuntimeRand rand;
    const uint32_t m = milliseconds % 1000;
    const uint32_t r1 = static_cast<uint32_t>(rand.Next());
    const uint32_t r2 = static_cast<uint32_t>(rand.Next());
    const uint32_t a = (r1 + 7u - m) % 7u; // unsigned wrap before the remainder, as stored
    uint32_t b = (r2 + 7u - m) % 7u;
    uint32_t c = m % 7u;
    if (c == a) c = (c + 6u) % 7u;
    if (b == a) b = (b + 1u) % 7u;
    return {static_cast<uint8_t>(b), static_cast<uint8_t>(a), static_cast<uint8_t>(c), 0};
}

bool IsUpdateDayAt(const UtcTime& lastUpdate, uint32_t disableDays, const UtcTime& now) {
    if (lastUpdate.year == now.year && lastUpdate.month == now.month && lastUpdate.day == now.day)
        return false;
    if (disableDays != 0) {
        for (int i = 0; i < 3; ++i)
            if (((disableDays >> (8 * i)) & 0xFF) == now.dayOfWeek) return false;
    }
    return true;
}

std::wstring StatisticsFileFor(std::wstring_view commonAppData) {
    return std::wstring(commonAppData) + std::wstring(app::kInstallSubfolder) + L"\\" +
           std::wstring(kSettingsFileName);
}
