#include "base/hotkey_win.h"

#include <windows.h>

#include "base/settings_file_win.h"

namespace base {

namespace {
std::wstring HotkeyFile() {
    return ProgramFolderFile(kSettingsFileName);
}
} // namespace

HotkeySpec LoadHotkey(const wchar_t* name, const wchar_t* defaultText) {
    return ParseHotkeyText(ReadSetting(HotkeyFile(), name, defaultText, kMaxStoredHotkeyChars));
}

HotkeySpec LoadHotkey(HotkeyRole role) {
    return LoadHotkey(SettingOf(role).name, SettingOf(role).defaultText);
}

bool SaveHotkey(HotkeyRole role, HotkeySpec key) {
    return WriteSetting(HotkeyFile(), SettingOf(role).name, HotkeyText(key));
}

int CurrentModifierMask() {
    return ModifierMask(::GetKeyState(VK_CONTROL) < 0, ::GetKeyState(VK_SHIFT) < 0,
                        ::GetKeyState(VK_MENU) < 0);
}

int AsyncModifierMask() {
    return ModifierMask(::GetAsyncKeyState(VK_CONTROL) < 0, ::GetAsyncKeyState(VK_SHIFT) < 0,
                        ::GetAsyncKeyState(VK_MENU) < 0);
}

} // namespace base
