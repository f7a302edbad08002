// The main window's menus and the commands they offer: the system menu under the "系统" button,
// the tray icon's menu, and what each of their items does.
#include <string>
#include <vector>

#include "base/hotkey_win.h"
#include "mainwnd/main_dlg_win.h"
#include "mainwnd/setting_dlg_win.h"
#include "net/cache_clear_win.h"
#include "resource.h"

using namespace mainwnd;

namespace {

enum Command : int {
    kRefresh = 1,
    kToggleShow = 2,
    kClearCache = 3,
    kUpdate = 4,
    kSettings = 5,
    kExit = 6,
    kVersionLine = -1, // only shows the version
    kSeparator = 0,
};

constexpr wchar_t kCacheClearedText[] = L"缓存清除完毕！";
constexpr wchar_t kUpToDateText[] = L"已经是最新版本，无需进行更新。";

struct MenuItem {
    int id;
    std::wstring text;
};

// Both menus are built anew each time they open: item 2 shows the boss key as the settings file
// holds it now.
std::vector<MenuItem> MenuItems(bool tray) {
    const std::wstring boss = base::FormatHotkey(base::LoadHotkey(base::HotkeyRole::Boss));
    std::vector<MenuItem> items = {
        {kRefresh, L"刷新 (F5)"},   {kToggleShow, L"隐藏/恢复(" + boss + L")"},
        {kClearCache, L"清除缓存"}, {kSeparator, L""},
        {kUpdate, L"更新"},         {kSettings, L"设置..."},
    };
    if (tray)
        items.push_back({kExit, L"退出"});
    else
        items.push_back({kVersionLine, L"版本号: 3.0.0.1"});
    return items;
}

HMENU BuildMenu(const std::vector<MenuItem>& items, std::wstring* joinedText) {
    const HMENU menu = ::CreatePopupMenu();
    if (!menu) return nullptr;
    joinedText->clear();
    for (const MenuItem& item : items) {
        if (item.id == kSeparator) {
            ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        ::AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(static_cast<UINT>(item.id)), item.text.c_str());
        if (!joinedText->empty()) *joinedText += L"|";
        *joinedText += item.text;
    }
    return menu;
}

} // namespace

void CTollgate3Dlg::OpenSystemMenu() {
    const RECT button = m_btnSystem.GetWindowRect();
    const HMENU menu = BuildMenu(MenuItems(false), &m_menuText);
    if (!menu) return;
    const int chosen = ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON,
                                        button.left, button.bottom + 2, 0, m_hWnd, nullptr);
    ::DestroyMenu(menu);
    m_menuText.clear();
    RunCommand(chosen);
}

void CTollgate3Dlg::OpenTrayMenu() {
    // In the foreground, so that a click elsewhere dismisses the menu.
    ::SetForegroundWindow(m_hWnd);
    POINT cursor{};
    ::GetCursorPos(&cursor);
    const HMENU menu = BuildMenu(MenuItems(true), &m_menuText);
    if (!menu) return;
    const int chosen =
        ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTALIGN | TPM_BOTTOMALIGN | TPM_LEFTBUTTON, cursor.x,
                         cursor.y, 0, m_hWnd, nullptr);
    ::DestroyMenu(menu);
    m_menuText.clear();
    RunCommand(chosen);
}

void CTollgate3Dlg::OnMenuIdle(HWND menuWindow) {
    if (m_automation && menuWindow && !m_menuText.empty()) ::SetWindowTextW(menuWindow, m_menuText.c_str());
}

void CTollgate3Dlg::RunCommand(int id) {
    switch (id) {
    case kRefresh:
        // Marked as the program's own: the switch-key test passes it by, and the page refreshes
        // even when F5 is one of its hotkeys.
        PostMessage(WM_KEYDOWN, VK_F5, base::kSelfMarker);
        break;
    case kToggleShow:
        ToggleShow();
        break;
    case kClearCache:
        // The clearing goes on in the background; the notice does not wait for it.
        if (HANDLE thread = ::CreateThread(nullptr, 0, net::ClearCachesThread, nullptr, 0, nullptr))
            ::CloseHandle(thread);
        AskPlayer(kCacheClearedText, MB_OK);
        break;
    case kUpdate:
        if (!m_checkForUpdate || m_checkForUpdate(true) == 0) {
            AskPlayer(kUpToDateText, MB_OK);
        } else {
            // The new process performs the update; this one ends whether it started or not.
            StartProgram(L" /update", false);
            QuitAll();
        }
        break;
    case kSettings:
        OpenSettings();
        break;
    case kExit:
        QuitAll();
        break;
    default:
        break; // dismissed, or the version line
    }
}

void CTollgate3Dlg::OpenSettings() {
    // One settings dialog at a time: the tray menu stays reachable while one is open.
    if (CSettingDlg* open = CSettingDlg::Open()) {
        ::SetForegroundWindow(open->m_hWnd);
        return;
    }
    CSettingDlg dlg(m_hWnd);
    dlg.DoModal();
    // Opened while a login held the window, it found the window disabled and leaves it so.
    ReleaseIfNotHeld();
}
