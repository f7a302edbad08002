// The automation channel between test drivers and a page process: the requests it accepts
// (when the "Automation" test switch was set at its start) and the reading of their data.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace web {

// A WM_COPYDATA with this dwData asks the page process to navigate its
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
