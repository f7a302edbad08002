#include "app/automation_win.h"

#include <windows.h>

#include <string>

namespace {
const std::wstring& AutomationValue() {
    static const std::wstring value = [] {
        wchar_t buffer[256] = {};
        const DWORD n = GetEnvironmentVariableW(L"TNVEXA_AUTOMATION", buffer, ARRAYSIZE(buffer));
        if (n == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::wstring();
        return n < ARRAYSIZE(buffer) ? L"," + std::wstring(buffer, n) + L"," : std::wstring(L",");
    }();
    return value;
}
}  // namespace

bool AutomationEnabled() {
    return !AutomationValue().empty();
}

bool AutomationHas(const wchar_t* word) {
    return AutomationValue().find(L"," + std::wstring(word) + L",") != std::wstring::npos;
}
