// Where the main game window hands over to the menus and the hotkeys. Each entry is a
// stand-in that does nothing until its subsystem lands.
#pragma once
#include <windows.h>

class CTollgate3Dlg;

namespace mainwnd {

// Installs the desktop-wide low-level keyboard hook (boss and sound keys); answers its handle.
HHOOK InstallKeyboardHook(CTollgate3Dlg& dlg);
// Removes the hook that InstallKeyboardHook answered (null: nothing to remove).
void RemoveKeyboardHook(HHOOK hook);
// Rereads the boss, window-switch and sound keys of this process from the settings file.
void LoadHotkeys();
// Whether the virtual key with the modifier mask of the moment (Alt 1, Ctrl 2, Shift 4) is the
// window-switch key.
bool IsWindowSwitchKey(UINT virtualKey, int modifiers);
// Ends the settings dialog without saving when it is open and visible.
void CancelSettingsDialog();
// Opens the system menu below the "系统" button and runs the chosen command.
void OpenSystemMenu(CTollgate3Dlg& dlg);
// Opens the tray icon's menu at the cursor and runs the chosen command.
void OpenTrayMenu(CTollgate3Dlg& dlg);

} // namespace mainwnd
