// Rules of a page process that need no window: the keys its page window takes or hands on, the
// drag area of the login page, the label the main window can keep, and the
// automation request that test drivers send.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/hotkey.h"
#include "web/html_elements.h"

namespace web {

inline constexpr unsigned kKeyF5 = 0x74;

// F5 in a page window. Swallow: F5 is the boss or sound key (unmodified) and this F5 is the
// player's, or there is no page to refresh; Refresh: purge the loader cache and reload.
enum class RefreshKey { Swallow, Refresh };
RefreshKey ScreenRefreshKey(base::HotkeySpec boss, base::HotkeySpec sound, std::intptr_t lParam,
                            bool hasView);

// What a mouse event on the login page's background sends to the backdrop (WM_NCLBUTTONDOWN,
// WM_NCLBUTTONUP or WM_NCMOUSEMOVE), or nothing: other events, and the 48 x 22 area at
// (739, 93) of the page's client area, where the page keeps its own buttons.
std::optional<std::uint32_t> LoginDragMessage(ElementEvent event, int clientX, int clientY);

// Whether the main window keeps a label of this length (it refuses longer ones for any reason,
// so the login must not mistake that refusal for a duplicate).
bool LabelFitsMainWindow(std::wstring_view label);

// The automation channel: a WM_COPYDATA with this dwData asks the page process to navigate its
// browser to the UTF-16 URL in the data (when the "Automation" test switch was set at its start).
inline constexpr std::uintptr_t kAutomationNavigate = 0x7E57A11;
inline constexpr std::size_t kMaxAutomationUrlChars = 2048;
// An automation request with this dwData (no data) asks a page window's process to play a short
// tone through its sound output, as a game's plug-in would.
inline constexpr std::uintptr_t kAutomationTone = 0x7E57A12;

// The automation channel's question to a page window, sent with the question in wParam and its
// argument in lParam; answered (a small number) only when TNVEXA_AUTOMATION was set at its start.
inline constexpr unsigned kAutomationQuery = 0x8058;
enum class AutomationQuestion : std::uintptr_t {
    MuteState = 0,  // the mute state applied last: 0 sound on, 1 muted, 2 none applied yet
    KeyDowns = 1,   // how many key-downs of virtual key lParam the page window has had (at most 255)
    HotkeyCode = 2, // the key code of hotkey lParam (0 boss, 1 window switch, 2 sound) as held now
};

// The URL of an automation request: UTF-16 units up to the first zero or the end of the block.
// Nothing for no data, an odd size, an empty URL or one longer than kMaxAutomationUrlChars.
std::optional<std::wstring> ReadAutomationUrl(const void* data, std::size_t cbData);

} // namespace web
