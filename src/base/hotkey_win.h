// The hotkeys in the settings file beside the executable, and the modifier keys held down now.
#pragma once
#include "base/hotkey.h"

namespace base {

// One hotkey from the settings file ("ShortKey", "AltWndKey", "SndKey"), the default text when
// the key is missing.
HotkeySpec LoadHotkey(const wchar_t* name, const wchar_t* defaultText);
HotkeySpec LoadHotkey(HotkeyRole role);
// Writes one hotkey's stored form; false when the file could not be written.
bool SaveHotkey(HotkeyRole role, HotkeySpec key);

// The modifier mask from this thread's key state (for key messages being handled).
int CurrentModifierMask();
// The modifier mask from the keyboard's state of the moment (for a desktop-wide hook, which sees
// keys before any thread of this process has handled them).
int AsyncModifierMask();

} // namespace base
