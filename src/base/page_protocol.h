// The private protocol between a main window and its page processes (and its own pop-ups): the
// window message numbers, the marker of messages the program makes itself, the tab label a page
// sends in WM_COPYDATA and the content area where a page window places itself. Both sides build
// from this one header; the numbers are fixed because page processes of other builds speak them.
// Portable (no <windows.h>), so the main window's and the page's rules share it and host tests
// check it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "base/geometry.h"

namespace base {

// Notification-area icon → main window: wParam the icon id (1), lParam the mouse message.
inline constexpr unsigned WM_TRAYNOTIFY = 0x0401;
// Page window → main window, posted: wParam the page window, lParam 1 for the hall page.
inline constexpr unsigned WM_PAGECREATED = 0x0402;
// Main window → itself: open the tray menu.
inline constexpr unsigned WM_TRAYMENU = 0x0403;
// Settings dialog → every main window, posted: the hotkeys were saved.
inline constexpr unsigned WM_HOTKEYSCHANGED = 0x0404;
// Main window → each page window every 400 ms, posted: wParam 1 muted, 0 not.
inline constexpr unsigned WM_PAGEMUTE = 0x0405;
// Add-account prompt → main window, posted: wParam 1 a new tab here, 0 a new window.
inline constexpr unsigned WM_ADDACCOUNT = 0x0406;
// Main window → each page window and the hall page, posted: reread the hotkeys.
inline constexpr unsigned WM_RELOADHOTKEYS = 0x0407;
// Main window → page window, posted once the main window has made the page its child: from now
// on the page may place itself in the content area.
inline constexpr unsigned WM_PAGEADOPTED = 0x0408;
// Page process → main window, posted: wParam a PageRequest, lParam the sender's process id. A
// page may run with fewer rights than its main window, so it asks rather than acts on the
// window itself; the main window takes a request only from one of its own page processes.
inline constexpr unsigned WM_PAGEREQUEST = 0x0409;
enum class PageRequest : unsigned {
    LoginCancelled = 1, // the login screen was given up: this login is over
    SwitchPage = 2,     // the window-switch key was pressed in the page
    Raise = 3,          // the page was clicked: raise the main window without activating it
    Minimize = 4,       // the login page's "minimise" while the window has tabs
};
// Main window → the page window whose "entergame" it took, posted once that is settled: wParam 1
// when the player declined the client's download (the page then opens its hall address in the
// player's browser, with the player's rights), else 0.
inline constexpr unsigned WM_ENTERGAMEDONE = 0x040A;

// lParam of the messages the program makes itself (a cancelled login's SC_CLOSE, the menu's F5).
inline constexpr std::intptr_t kSelfMarker = 7301;

// The tab label: a page's login sends it as WM_COPYDATA with dwData 0 and the sending window as
// wParam (a sender that names none is taken for the main window's only login, if it has just
// one); the main window answers non-zero when it keeps the label.
inline constexpr std::uintptr_t kLabelCopyData = 0;
// The longest label the main window keeps, in UTF-16 code units without the terminating zero.
// A label built from a decoded login payload is far shorter.
inline constexpr std::size_t kMaxTabLabelChars = 256;

// Reads the tab label from a copy-data block of cbData bytes: UTF-16 code units up to the first
// zero unit. Nothing for a null pointer, an empty or odd-sized block, a label whose zero does not
// lie within the block, or a label longer than kMaxTabLabelChars. Never reads past cbData bytes
// and makes no assumption about the block's alignment: they are another process's bytes.
std::optional<std::wstring> ParseLabelCopyData(const void* data, std::size_t cbData);

// "entergame": a page asks its main window to start another game's client, or to offer its
// download. WM_COPYDATA with this dwData, the asking page window as wParam and the game's name
// as UTF-16 with its terminating zero: only the name, never a path or an address, which the main
// window makes itself. The answer is non-zero when the main window took the request; it then
// settles it on its own (question, download, start) and tells the page with WM_ENTERGAMEDONE.
inline constexpr std::uintptr_t kEnterGameCopyData = 0x454E5447; // "ENTG"
// The longest game name a page may send: any longer one makes no client path anyway.
inline constexpr std::size_t kMaxGameNameChars = 128;

// Reads the game name from a copy-data block as ParseLabelCopyData reads a label, bounded by
// kMaxGameNameChars.
std::optional<std::wstring> ParseGameNameCopyData(const void* data, std::size_t cbData);

// The main window's frame around its pages: the caption band above, the border elsewhere.
inline constexpr int kCaptionHeight = 30;
inline constexpr int kBorderWidth = 4;

// The content area of a main window's client area of the given size, where its page windows sit:
// inset by the border on the left, right and bottom and by the caption band at the top. Never
// inverted: a window smaller than its frame (the 1 x 1 start size) gives an empty area at the
// inset corner.
Rect ContentArea(int clientWidth, int clientHeight);

} // namespace base
