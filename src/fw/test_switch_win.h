// Test-only switches of a process: REG_SZ values under a key of HKEY_LOCAL_MACHINE that only an
// administrator can write. The program runs elevated, so nothing a user's own programs can change
// (environment, profile files) may steer where it connects or what it runs; a player's machine
// has no such key.
#pragma once
#include <optional>
#include <string>

#include "base/product.h"

namespace fw {

// A key of its own: the uninstall deletes the program's settings key, and a test machine's
// switches must outlive that.
inline constexpr wchar_t kTestSwitchKey[] = TNVEXA_PUBLISHER_REGISTRY_KEY L"\\TnVexaTest";

// The named REG_SZ value of kTestSwitchKey in the 64-bit registry view, as it is now; nullopt
// when the key or value is missing, has another type or is implausibly long. Callers read it
// once per process. Always nullopt in a build without tests (TNVEXA_TEST_SWITCHES 0): a player's
// executable reads no switch at all.
std::optional<std::wstring> ReadTestSwitch(const wchar_t* name);

} // namespace fw
