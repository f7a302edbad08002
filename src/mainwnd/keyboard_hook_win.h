// The main window's desktop-wide low-level keyboard hook: it follows the modifiers of every key,
// and while its window has a tab it tells the window of the boss and sound keys by a message.
#pragma once
#include <windows.h>

#include <functional>

namespace mainwnd {

class KeyboardHook {
public:
    KeyboardHook() = default;
    ~KeyboardHook() { Remove(); }
    KeyboardHook(const KeyboardHook&) = delete;
    KeyboardHook& operator=(const KeyboardHook&) = delete;

    // Installs the hook (one per process): while `active` answers true, a boss or sound key is
    // posted to `window` as WM_GLOBALHOTKEY (wParam: base::GlobalHotkey). Keys are always
    // passed on. False when the system refuses the hook.
    bool Install(HWND window, std::function<bool()> active);
    // Removes the hook; nothing when none is installed.
    void Remove();

    // Whether the virtual key with the modifier mask of the moment, or with the modifiers the
    // hook saw when that key last went down, is the window-switch key.
    static bool IsWindowSwitchKey(UINT virtualKey, int modifiers);

private:
    static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam);

    HHOOK m_hook = nullptr;
    HWND m_window = nullptr;
    std::function<bool()> m_active;
};

} // namespace mainwnd
