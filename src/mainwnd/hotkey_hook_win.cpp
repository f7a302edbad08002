#include "mainwnd/hotkey_hook_win.h"

#include <array>
#include <string_view>
#include <vector>

#include "base/hotkey_win.h"
#include "base/product.h"
#include "mainwnd/main_dlg_win.h"
#include "mainwnd/main_messages.h"
#include "resource.h"

namespace mainwnd {

namespace {

MainHotkeys g_hotkeys;
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

constexpr int kMaxNotified = 10;

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) {
    // Low-level hooks run on the installing thread, between its messages: the window's state
    // is read and changed here without locks.
    const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    CTollgate3Dlg* dlg = CTollgate3Dlg::Instance();
    const bool keyDown = wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN;
    if (code == HC_ACTION && event) {
        const DWORD now = ::GetTickCount();
        g_modifiers.OnKey(static_cast<int>(event->vkCode), keyDown, now);
        // A modifier's release this hook never saw would leave it held for ever.
        if (keyDown) g_modifiers.Reconcile(now, [](int key) { return ::GetAsyncKeyState(key) < 0; });
    }
    const int mask = g_modifiers.Mask();
    if (code == HC_ACTION && event && keyDown) g_keyDownMask[event->vkCode & 0xFF] = mask;
    if (code == HC_ACTION && event && dlg && dlg->IsWindow()) {
        const base::GlobalHotkey hit =
            base::MatchGlobalHotkey(dlg->Model().TabCount() > 0, static_cast<unsigned>(wParam), event->vkCode,
                                    mask, g_hotkeys.boss, g_hotkeys.sound);
        // The toggle runs as the hide button's command right after the hook: the key reaches the
        // program that has the focus now, before the restored window takes the foreground.
        if (hit == base::GlobalHotkey::Boss)
            dlg->PostMessage(WM_COMMAND, MAKEWPARAM(IDC_MAIN_HIDE, BN_CLICKED),
                             reinterpret_cast<LPARAM>(dlg->m_btnHide.m_hWnd));
        if (hit == base::GlobalHotkey::Sound) dlg->m_muted = !dlg->m_muted; // the next tick tells the pages
    }
    // Never swallowed: the program with the focus gets the key as well.
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

struct MainWindowSearch {
    std::vector<HWND> found;
};

BOOL CALLBACK CollectMainWindow(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<MainWindowSearch*>(param);
    wchar_t cls[16] = {}, title[32] = {};
    ::GetClassNameW(hwnd, cls, 16);
    ::GetWindowTextW(hwnd, title, 32);
    if (std::wstring_view(cls) == L"#32770" && std::wstring_view(title) == base::kAppTitle)
        search->found.push_back(hwnd);
    return search->found.size() < kMaxNotified;
}

} // namespace

const MainHotkeys& Hotkeys() {
    return g_hotkeys;
}

void LoadHotkeys() {
    g_hotkeys.boss = base::LoadHotkey(base::HotkeyRole::Boss);
    g_hotkeys.windowSwitch = base::LoadHotkey(base::HotkeyRole::Switch);
    g_hotkeys.sound = base::LoadHotkey(base::HotkeyRole::Sound);
}

bool IsWindowSwitchKey(UINT virtualKey, int modifiers) {
    if (base::HotkeyMatches(g_hotkeys.windowSwitch, virtualKey, modifiers)) return true;
    // A key a page handed on: the modifiers held when the key went down.
    return virtualKey < 256 &&
           base::HotkeyMatches(g_hotkeys.windowSwitch, virtualKey, g_keyDownMask[virtualKey]);
}

HHOOK InstallKeyboardHook() {
    return ::SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardHookProc, ::GetModuleHandleW(nullptr), 0);
}

void RemoveKeyboardHook(HHOOK hook) {
    if (hook) ::UnhookWindowsHookEx(hook);
}

int NotifyHotkeysChanged() {
    MainWindowSearch search;
    ::EnumWindows(CollectMainWindow, reinterpret_cast<LPARAM>(&search));
    for (HWND hwnd : search.found)
        ::PostMessageW(hwnd, base::WM_HOTKEYSCHANGED, 0, 0);
    return static_cast<int>(search.found.size());
}

} // namespace mainwnd
