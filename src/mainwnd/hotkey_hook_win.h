// The main process's hotkeys: its copies of the three keys, and the notice that tells every
// running main window that the keys were changed.
#pragma once
#include <windows.h>

#include "base/hotkey.h"

namespace mainwnd {

// This process's copies (base::kUnloadedHotkey, which matches nothing, until the first load).
struct MainHotkeys {
    base::HotkeySpec boss = base::kUnloadedHotkey;
    base::HotkeySpec windowSwitch = base::kUnloadedHotkey;
    base::HotkeySpec sound = base::kUnloadedHotkey;
};
const MainHotkeys& Hotkeys();
// Rereads the three hotkeys from the settings file.
void LoadHotkeys();
// Posts WM_HOTKEYSCHANGED to the top-level dialogs titled "Vexa - Tarn" (the main windows of
// every running instance among them), at most 10, in z-order; answers how many were told.
int NotifyHotkeysChanged();

} // namespace mainwnd
