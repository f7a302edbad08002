#include "mainwnd/system_menu_win.h"

#include <string>
#include <vector>

#include "base/hotkey_win.h"
#include "base/version.h"

namespace mainwnd {

namespace {

constexpr int kVersionLine = -1; // only shows the version
constexpr int kSeparator = 0;

// A command's item id, and back: the menu answers ids, which are commands only from 1 to 6.
constexpr int ItemId(MenuCommand command) {
    return static_cast<int>(command);
}
std::optional<MenuCommand> CommandOfItem(int id) {
    if (id < ItemId(MenuCommand::Refresh) || id > ItemId(MenuCommand::Exit)) return std::nullopt;
    return static_cast<MenuCommand>(id);
}

struct MenuItem {
    int id;
    std::wstring text;
};

// Both menus are built anew each time they open: item 2 shows the boss key as the settings file
// holds it now.
std::vector<MenuItem> MenuItems(bool tray) {
    const std::wstring boss = base::FormatHotkey(base::LoadHotkey(base::HotkeyRole::Boss));
    std::vector<MenuItem> items = {
        {ItemId(MenuCommand::Refresh), L"刷新 (F5)"},
        {ItemId(MenuCommand::ToggleShow), L"隐藏/恢复(" + boss + L")"},
        {ItemId(MenuCommand::ClearCache), L"清除缓存"},
        {kSeparator, L""},
        {ItemId(MenuCommand::Update), L"更新"},
        {ItemId(MenuCommand::Settings), L"设置..."},
    };
    if (tray)
        items.push_back({ItemId(MenuCommand::Exit), L"退出"});
    else
        items.push_back({kVersionLine, L"版本号: " TNVEXA_VERSION_WTEXT});
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

std::optional<MenuCommand> TrackMenu(HWND owner, bool tray, POINT at, std::wstring* shownText) {
    const HMENU menu = BuildMenu(MenuItems(tray), shownText);
    if (!menu) return std::nullopt;
    // The system menu hangs below its button; the tray menu's corner is at the cursor.
    const UINT align = tray ? TPM_RIGHTALIGN | TPM_BOTTOMALIGN : TPM_LEFTALIGN | TPM_TOPALIGN;
    const int chosen =
        ::TrackPopupMenu(menu, TPM_RETURNCMD | align | TPM_LEFTBUTTON, at.x, at.y, 0, owner, nullptr);
    ::DestroyMenu(menu);
    shownText->clear();
    return CommandOfItem(chosen);
}

} // namespace mainwnd
