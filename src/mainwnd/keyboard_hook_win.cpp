#include "mainwnd/keyboard_hook_win.h"

#include <array>

#include "base/hotkey_win.h"
#include "base/trace_win.h"
#include "mainwnd/hotkey_hook_win.h"
#include "mainwnd/main_messages.h"

namespace mainwnd {

static_assert(WM_GLOBALHOTKEY == WM_APP + 0x41, "one of the main window's own messages");

namespace {

// The hook of this process: a low-level hook procedure carries no context of its own.
KeyboardHook* g_installed = nullptr;
base::ModifierTracker g_modifiers;
// The modifier mask that went with the last key-down of each virtual key, as the hook saw it
// (-1: none seen). A page hands its switch key on by a posted message, which this thread handles
// later; the modifiers may be up by then, and this thread's key state does not follow a
// keyboard that another process's thread reads.
std::array<int, 256> g_keyDownMask = [] {
    std::array<int, 256> masks;
    masks.fill(-1);
    return masks;
}();

} // namespace

bool KeyboardHook::Install(HWND window, std::function<bool()> active) {
    Remove();
    m_hook = ::SetWindowsHookExW(WH_KEYBOARD_LL, &KeyboardHook::Proc, ::GetModuleHandleW(nullptr), 0);
    if (!m_hook) {
        base::Trace(L"keyboard hook not installed", ::GetLastError());
        return false;
    }
    m_window = window;
    m_active = std::move(active);
    g_installed = this;
    return true;
}

void KeyboardHook::Remove() {
    if (!m_hook) return;
    ::UnhookWindowsHookEx(m_hook);
    m_hook = nullptr;
    if (g_installed == this) g_installed = nullptr;
}

LRESULT CALLBACK KeyboardHook::Proc(int code, WPARAM wParam, LPARAM lParam) {
    // Low-level hooks run on the installing thread, between its messages: the state is read and
    // changed here without locks.
    const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    const bool keyDown = wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN;
    if (code == HC_ACTION && event) {
        const DWORD now = ::GetTickCount();
        g_modifiers.OnKey(static_cast<int>(event->vkCode), keyDown, now);
        // A modifier's release this hook never saw would leave it held for ever.
        if (keyDown) g_modifiers.Reconcile(now, [](int key) { return ::GetAsyncKeyState(key) < 0; });
        const int mask = g_modifiers.Mask();
        if (keyDown) g_keyDownMask[event->vkCode & 0xFF] = mask;
        const KeyboardHook* hook = g_installed;
        if (hook && ::IsWindow(hook->m_window)) {
            const MainHotkeys& keys = Hotkeys();
            const base::GlobalHotkey hit =
                base::MatchGlobalHotkey(hook->m_active && hook->m_active(), static_cast<unsigned>(wParam),
                                        event->vkCode, mask, keys.boss, keys.sound);
            // Handled right after the hook: the key reaches the program that has the focus now,
            // before a restored window takes the foreground.
            if (hit != base::GlobalHotkey::None)
                ::PostMessageW(hook->m_window, WM_GLOBALHOTKEY, static_cast<WPARAM>(hit), 0);
        }
    }
    // Never swallowed: the program with the focus gets the key as well.
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

bool KeyboardHook::IsWindowSwitchKey(UINT virtualKey, int modifiers) {
    const base::HotkeySpec key = Hotkeys().windowSwitch;
    if (base::HotkeyMatches(key, virtualKey, modifiers)) return true;
    // A key a page handed on: the modifiers held when the key went down.
    return virtualKey < 256 && base::HotkeyMatches(key, virtualKey, g_keyDownMask[virtualKey]);
}

} // namespace mainwnd
