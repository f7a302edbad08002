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

bool IsWindowSwitchKey(UINT, int) {
    return false;
}

void CancelSettingsDialog() {
}

void OpenSystemMenu(CTollgate3Dlg&) {
}

void OpenTrayMenu(CTollgate3Dlg&) {
}

void CreatePreVistaLoginDialog(CTollgate3Dlg&) {
}

} // namespace mainwnd
