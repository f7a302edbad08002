#include "mainwnd/later_entry_win.h"

namespace mainwnd {

HHOOK InstallKeyboardHook(CTollgate3Dlg&) {
    return nullptr;
}

void RemoveKeyboardHook(HHOOK hook) {
    if (hook) ::UnhookWindowsHookEx(hook);
}

void LoadHotkeys() {
}

bool IsWindowSwitchKey(UINT virtualKey, int modifiers) {
    // Until the hotkey settings are read here, the window-switch key is its default, Ctrl+Tab.
    return virtualKey == VK_TAB && modifiers == 2;
}

void CancelSettingsDialog() {
}

void OpenSystemMenu(CTollgate3Dlg&) {
}

void OpenTrayMenu(CTollgate3Dlg&) {
}

} // namespace mainwnd
