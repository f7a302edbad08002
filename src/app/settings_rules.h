// The rules behind the settings store that need no Windows: counter arithmetic, the choice of
// update-free weekdays, the update-day decision and the file locations.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/product.h"
#include "base/settings_file.h"

inline constexpr std::wstring_view kSettingsRegistryKey = TNVEXA_PUBLISHER_REGISTRY_KEY L"\\TnVexa";

// A date and time as the registry's "UpdTime" stores it (the platform's SYSTEMTIME layout).
struct UtcTime {
    uint16_t year = 0, month = 0, dayOfWeek = 0, day = 0, hour = 0, minute = 0, second = 0, milliseconds = 0;
};

// 16 little-endian bytes <-> UtcTime. Short input reads as zeros for what is missing.
std::array<uint8_t, 16> EncodeUtcTime(const UtcTime& t);
UtcTime DecodeUtcTime(const uint8_t* bytes, size_t size);

// The value a counter takes after one more event, from its stored text (read like wcstol,
// base 10; 1 added in 32-bit unsigned arithmetic).
uint32_t NextCounterValue(std::wstring_view stored);

// The stored text of a counter value ("%u").
std::wstring CounterText(uint32_t value);

// The three update-free weekdays drawn from the current time's milliseconds (0-999), as the
// four bytes B, A, C, 0 of "DisableDays".
std::array<uint8_t, 4> ChooseDisableDaysFor(unsigned milliseconds);

// Whether the start-up update check may run at `now` (UTC), given the stored "UpdTime" and
// "DisableDays" (missing values read as zero).
bool IsUpdateDayAt(const UtcTime& lastUpdate, uint32_t disableDays, const UtcTime& now);

// The statistics file below the common application-data folder.
std::wstring StatisticsFileFor(std::wstring_view commonAppData);
