#include "mainwnd/hotkey_hook_win.h"

#include <string_view>
#include <vector>

#include "base/hotkey_win.h"
#include "base/product.h"
#include "mainwnd/main_messages.h"

namespace mainwnd {

namespace {

MainHotkeys g_hotkeys;
constexpr int kMaxNotified = 10;

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

int NotifyHotkeysChanged() {
    MainWindowSearch search;
    ::EnumWindows(CollectMainWindow, reinterpret_cast<LPARAM>(&search));
    for (HWND hwnd : search.found)
        ::PostMessageW(hwnd, base::WM_HOTKEYSCHANGED, 0, 0);
    return static_cast<int>(search.found.size());
}

} // namespace mainwnd
