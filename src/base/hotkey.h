// The program's three hotkeys (boss, window switch, sound) as the settings file keeps them and
// as the player sees them, and the settings dialog's rules for capturing and saving them. Shared
// by the main process and the page processes: one definition of the modifier mask and of every
// hotkey test.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace base {

// Modifier bits of a hotkey and of the keys held down.
inline constexpr int kModAlt = 1;
inline constexpr int kModCtrl = 2;
inline constexpr int kModShift = 4;

// A virtual-key code with its modifier mask. Code 0 means no key and never matches; the main
// process holds -1 in both fields until it has read the settings, which matches nothing either.
struct HotkeySpec {
    int code = 0;
    int mask = 0;
    friend bool operator==(const HotkeySpec&, const HotkeySpec&) = default;
};
inline constexpr HotkeySpec kUnloadedHotkey{-1, -1};

// The modifier mask of the keys held down (left and right keys alike).
int ModifierMask(bool ctrl, bool shift, bool alt);

// Whether a key-down of `virtualKey` with the modifier mask of the moment is this hotkey.
bool HotkeyMatches(HotkeySpec key, std::uintptr_t virtualKey, int mask);

// The three hotkeys, in the order the settings dialog shows them.
enum class HotkeyRole { Boss = 0, Switch = 1, Sound = 2 };
inline constexpr int kHotkeyCount = 3;
struct HotkeySetting {
    const wchar_t* name;        // key in the settings file
    const wchar_t* defaultText; // stored form used when the key is missing
};
inline constexpr std::array<HotkeySetting, kHotkeyCount> kHotkeySettings{{
    {L"ShortKey", L"0,121"}, // boss key: F10
    {L"AltWndKey", L"2,9"},  // window-switch key: Ctrl + Tab
    {L"SndKey", L"2,81"},    // sound key: Ctrl + Q
}};
inline const HotkeySetting& SettingOf(HotkeyRole role) {
    return kHotkeySettings[static_cast<int>(role)];
}

// How much of a stored value is read (the reader's 32-character buffer with its terminator).
inline constexpr std::size_t kMaxStoredHotkeyChars = 31;

// Reads a stored value: "<mask>,<code>", each part a leading decimal number (blanks and a sign
// allowed, no digits gives 0). Without a comma the whole text is the mask and the code is 0. A
// number too long for an int gives 0, so that it disables the hotkey like any other nonsense.
HotkeySpec ParseHotkeyText(std::wstring_view text);
// The stored form: mask, a comma and the code, in decimal.
std::wstring HotkeyText(HotkeySpec key);

// The key's name from the key-name table; empty for codes not in it.
std::wstring_view KeyName(int code);
// Whether a key may be a hotkey's key (Tab is allowed for the window-switch key only).
bool IsAllowedHotkeyKey(int code);
// "Ctrl  +  ", "Shift  +  ", "Alt  +  " for the bits set, in this order.
std::wstring ModifierPrefixes(int mask);
// The display form: "无" for code 0, else the prefixes and the key's name.
std::wstring FormatHotkey(HotkeySpec key);

// ---- the settings dialog's key capture --------------------------------------------------------

inline constexpr unsigned kMsgKeyDown = 0x0100;
inline constexpr unsigned kMsgSysKeyDown = 0x0104;

// Whether the dialog examines a key message at all: every key-down, and of the system key-downs
// only F10 and Alt (a key pressed while only Alt is held is left to the dialog).
bool IsExaminedKeyMessage(unsigned message, std::uintptr_t virtualKey);
// Keys the dialog swallows whichever control has the focus: it closes only through its buttons.
bool IsSwallowedDialogKey(std::uintptr_t virtualKey);

// What a key pressed in one of the three edits does: the edit's new text and, when the key is
// one a hotkey may have, the code the edit keeps from now on.
struct CapturedKey {
    std::wstring text;
    std::optional<int> code;
};
CapturedKey CaptureKey(HotkeyRole role, int virtualKey, int mask);

// ---- saving -----------------------------------------------------------------------------------

// What the OK button does with the three edits' texts and kept codes: nothing but a complaint
// when two texts are equal; otherwise the values to write (nothing for a text that is empty or
// ends with a blank, which means modifiers without a key).
struct SavePlan {
    bool conflict = false;
    std::array<std::optional<HotkeySpec>, kHotkeyCount> writes;
};
SavePlan PlanHotkeySave(const std::array<std::wstring, kHotkeyCount>& texts,
                        const std::array<int, kHotkeyCount>& keptCodes);

// ---- the main process's keyboard hook ---------------------------------------------------------

// The modifier keys held down, followed from the key events a desktop-wide hook sees (left, right
// and undistinguished codes alike). The hook runs before any thread has the event, and the
// system's key state may not have caught up with it yet; but the hook misses events too (a
// release on the secure desktop or while the workstation was locked, one the system gave up
// waiting for a busy hook over), so the system's word is taken once a key has settled.
class ModifierTracker {
public:
    // How long a modifier goes without an event of its own before the system's key state is taken
    // over what the hook saw. That state lags behind the hook's own events (under Wine a key that
    // was up is cached for 50 ms), never by this much.
    static constexpr std::uint32_t kSettleMs = 250;

    // A key event the hook saw at `now` (a millisecond tick count).
    void OnKey(int virtualKey, bool down, std::uint32_t now);
    // Takes the real state, `isDown(code)` for the left and right codes 0xA0-0xA5, of every
    // modifier that has had no event for kSettleMs by `now`.
    void Reconcile(std::uint32_t now, const std::function<bool(int)>& isDown);
    int Mask() const;

private:
    struct Key {
        bool down = false;
        bool seen = false; // a key never seen has settled
        std::uint32_t at = 0;
    };
    // Left and right Shift, Ctrl and Alt, in the order of their codes 0xA0-0xA5.
    std::array<Key, 6> m_keys{};
};

// Ctrl+D, the favourites key of the visible page, as a character message: code 4, scan code 0x20 on its first
// press without Alt and not extended (an auto-repeated key has the previous-state bit set and does not
// count).
bool IsFavouritesChar(std::uintptr_t wParam, std::intptr_t lParam);

// What a desktop-wide key event does in the main process. Only key-downs count, and only while
// the main window has a tab; the boss key wins when both hotkeys are the same.
enum class GlobalHotkey { None, Boss, Sound };
GlobalHotkey MatchGlobalHotkey(bool hasTab, unsigned message, std::uintptr_t virtualKey, int mask,
                               HotkeySpec boss, HotkeySpec sound);

} // namespace base
