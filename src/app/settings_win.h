// The settings store: "Statistic.ini" in its two locations and the registry key under
// HKEY_LOCAL_MACHINE. Every failure is silent: readers get defaults, writers answer false.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "app/settings_rules.h"
#include "base/settings_file_win.h"
#include "base/user_folder_win.h"

// The statistics file in the install folder (counters).
std::wstring StatisticsFilePath();

// Adds one to a counter of the statistics file ("Inst", "UnInst", "Game", "Vexa") and answers
// the value written. A machine-wide mutex keeps simultaneous starts from losing an increment;
// the install folder is created first, as the install makes it, if nothing was installed yet.
uint32_t IncrementCounter(const wchar_t* key);

// The counters' lock: created by the program with this access list (owned by the Administrators
// group, the system and administrators let in); one that is otherwise is someone else's.
inline constexpr wchar_t kCounterLockSddl[] = L"O:BAD:P(A;;GA;;;SY)(A;;GA;;;BA)";

// Writes a fresh "DisableDays"; false when the key can't be opened.
bool ChooseDisableDays();

// Whether the start-up update check may run today; false when the key can't be opened.
bool IsUpdateDay();

// Records now (UTC) as "UpdTime"; false when the key can't be opened.
bool StoreUpdateTime();

// Raw access to the registry key's binary values (used by the rules above and by tests).
bool ReadRegistryBinary(const wchar_t* value, void* data, uint32_t size);
bool WriteRegistryBinary(const wchar_t* value, const void* data, uint32_t size);

// Removes the whole registry key with its values and subkeys.
bool DeleteSettingsKey();
