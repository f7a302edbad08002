#include "base/hotkey_win.h"

#include <windows.h>

#include "base/settings_file_win.h"

namespace base {

// The portable copies of the key messages are the platform's own.
static_assert(kMsgKeyDown == WM_KEYDOWN && kMsgSysKeyDown == WM_SYSKEYDOWN);

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

} // namespace base
