#include "base/settings_file_win.h"

#include <windows.h>

#include "base/executable_path_win.h"
#include "base/trace_win.h"

std::wstring ProgramFolderFile(std::wstring_view name) {
    return ProgramFolderFileFor(base::ExecutablePath(), name);
}

std::wstring ReadSetting(const std::wstring& file, const wchar_t* key, const wchar_t* defaultValue,
                         size_t maxChars) {
    std::wstring buffer(maxChars + 1, L'\0');
    const DWORD n = GetPrivateProfileStringW(std::wstring(kSettingsSection).c_str(), key, defaultValue,
                                             buffer.data(), DWORD(buffer.size()), file.c_str());
    buffer.resize(n);
    return buffer;
}

bool WriteSetting(const std::wstring& file, const wchar_t* key, const std::wstring& value) {
    if (WritePrivateProfileStringW(std::wstring(kSettingsSection).c_str(), key, value.c_str(), file.c_str()))
        return true;
    base::Trace(L"setting not saved", key, GetLastError());
    return false;
}
