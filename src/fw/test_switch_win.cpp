#include "fw/test_switch_win.h"

#include <windows.h>

#include "base/handle_win.h"

// The build defines it: 1 beside the test tiers, 0 in a build for players.
#ifndef TNVEXA_TEST_SWITCHES
#error "TNVEXA_TEST_SWITCHES is not defined"
#endif

namespace fw {

#if TNVEXA_TEST_SWITCHES
std::optional<std::wstring> ReadTestSwitch(const wchar_t* name) {
    base::RegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kTestSwitchKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY,
                        key.Put()) != ERROR_SUCCESS)
        return std::nullopt;
    wchar_t buffer[300] = {};
    DWORD type = 0;
    DWORD size = sizeof(buffer) - sizeof(wchar_t); // room for a terminator the data may lack
    if (::RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    return std::wstring(buffer); // up to the first terminator
}
#else
// A build for players has no switches: what only a test machine may change is not even read.
std::optional<std::wstring> ReadTestSwitch(const wchar_t*) {
    return std::nullopt;
}
#endif

} // namespace fw
