#include "fw/test_switch_win.h"

#include <windows.h>

#include "fw/handles_win.h"

namespace fw {

std::optional<std::wstring> ReadTestSwitch(const wchar_t* name) {
    RegKey key;
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

} // namespace fw
