#include "base/hotkey.h"

#include <climits>

#include "base/text.h"

namespace base {

namespace {

constexpr int kKeyBack = 0x08, kKeyTab = 0x09, kKeyEnter = 0x0D, kKeyAlt = 0x12, kKeyEsc = 0x1B;
constexpr int kKeyDel = 0x2E, kKeyLWin = 0x5B, kKeyRWin = 0x5C, kKeyF10 = 0x79, kKeyF12 = 0x7B;
constexpr wchar_t kNoKey[] = L"无";

// A leading decimal number as the runtime's _wtoi reads it, except that a number too long for
// an int is 0: the value is then as meaningless as any other unreadable one.
int LeadingNumber(std::wstring_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > static_cast<long long>(INT_MAX) + (negative ? 1 : 0)) return 0;
    }
    return static_cast<int>(negative ? -value : value);
}

bool InRange(int code, int first, int last) {
    return code >= first && code <= last;
}

} // namespace

int ModifierMask(bool ctrl, bool shift, bool alt) {
    return (ctrl ? kModCtrl : 0) | (shift ? kModShift : 0) | (alt ? kModAlt : 0);
}

bool IsFavouritesChar(std::uintptr_t wParam, std::intptr_t lParam) {
    return (wParam & 0xFFFF) == 4 && ((static_cast<std::uintptr_t>(lParam) >> 16) & 0xFFFF) == 0x0020;
}

bool HotkeyMatches(HotkeySpec key, std::uintptr_t virtualKey, int mask) {
    return key.code > 0 && static_cast<std::uintptr_t>(key.code) == virtualKey && key.mask == mask;
}

HotkeySpec ParseHotkeyText(std::wstring_view text) {
    text = text.substr(0, kMaxStoredHotkeyChars);
    const size_t comma = text.find(L',');
    if (comma == std::wstring_view::npos) return {0, LeadingNumber(text)};
    return {LeadingNumber(text.substr(comma + 1)), LeadingNumber(text.substr(0, comma))};
}

std::wstring HotkeyText(HotkeySpec key) {
    return std::to_wstring(key.mask) + L"," + std::to_wstring(key.code);
}

std::wstring_view KeyName(int code) {
    static constexpr std::wstring_view kDigits[] = {L"0", L"1", L"2", L"3", L"4",
                                                    L"5", L"6", L"7", L"8", L"9"};
    static constexpr std::wstring_view kLetters[] = {L"A", L"B", L"C", L"D", L"E", L"F", L"G", L"H", L"I",
                                                     L"J", L"K", L"L", L"M", L"N", L"O", L"P", L"Q", L"R",
                                                     L"S", L"T", L"U", L"V", L"W", L"X", L"Y", L"Z"};
    static constexpr std::wstring_view kNavigation[] = {L"Page Up", L"Page Down", L"End",   L"Home",
                                                        L"Left",    L"Up",        L"Right", L"Down"};
    static constexpr std::wstring_view kNumPad[] = {
        L"Num 0", L"Num 1", L"Num 2", L"Num 3", L"Num 4", L"Num 5", L"Num 6",   L"Num 7",
        L"Num 8", L"Num 9", L"Num *", L"Num +", L"",      L"Num -", L"Num Del", L"Num /"};
    static constexpr std::wstring_view kFunction[] = {L"F1", L"F2", L"F3", L"F4",  L"F5",  L"F6",
                                                      L"F7", L"F8", L"F9", L"F10", L"F11", L"F12"};
    static constexpr std::wstring_view kPunctuation[] = {L";", L"+", L",", L"-", L".", L"/", L"`"};
    static constexpr std::wstring_view kBrackets[] = {L"[", L"\\", L"]", L"'"};
    switch (code) {
    case 0x08:
        return L"Back";
    case 0x09:
        return L"Tab";
    case 0x0D:
        return L"Enter";
    case 0x10:
        return L"Shift";
    case 0x11:
        return L"Ctrl";
    case 0x12:
        return L"Alt";
    case 0x13:
        return L"Pause Break";
    case 0x14:
        return L"Caps";
    case 0x1B:
        return L"Esc";
    case 0x2D:
        return L"Insert";
    case 0x2E:
        return L"Del";
    case 0x5B:
        return L"LWin";
    case 0x5C:
        return L"RWin";
    case 0x90:
        return L"Num Lock";
    case 0x91:
        return L"Scroll Lock";
    default:
        break;
    }
    if (InRange(code, 0x21, 0x28)) return kNavigation[code - 0x21];
    if (InRange(code, 0x30, 0x39)) return kDigits[code - 0x30];
    if (InRange(code, 0x41, 0x5A)) return kLetters[code - 0x41];
    if (InRange(code, 0x60, 0x6F)) return kNumPad[code - 0x60];
    if (InRange(code, 0x70, 0x7B)) return kFunction[code - 0x70];
    if (InRange(code, 0xBA, 0xC0)) return kPunctuation[code - 0xBA];
    if (InRange(code, 0xDB, 0xDE)) return kBrackets[code - 0xDB];
    return {};
}

bool IsAllowedHotkeyKey(int code) {
    return InRange(code, 0x70, 0x7A) || InRange(code, 0x30, 0x39) || InRange(code, 0x41, 0x5A) ||
           InRange(code, 0x21, 0x28) || code == 0x2D || code == 0x14 || InRange(code, 0xBA, 0xC0) ||
           InRange(code, 0xDB, 0xDE) || code == 0x90 || InRange(code, 0x60, 0x6B) ||
           InRange(code, 0x6D, 0x6F);
}

std::wstring ModifierPrefixes(int mask) {
    std::wstring text;
    if (mask & kModCtrl) text += L"Ctrl  +  ";
    if (mask & kModShift) text += L"Shift  +  ";
    if (mask & kModAlt) text += L"Alt  +  ";
    return text;
}

std::wstring FormatHotkey(HotkeySpec key) {
    if (key.code == 0) return kNoKey;
    return ModifierPrefixes(key.mask) + std::wstring(KeyName(key.code));
}

bool IsExaminedKeyMessage(unsigned message, std::uintptr_t virtualKey) {
    if (message == kMsgKeyDown) return true;
    return message == kMsgSysKeyDown && (virtualKey == kKeyF10 || virtualKey == kKeyAlt);
}

bool IsSwallowedDialogKey(std::uintptr_t virtualKey) {
    return virtualKey == kKeyEsc || virtualKey == kKeyEnter;
}

CapturedKey CaptureKey(HotkeyRole role, int virtualKey, int mask) {
    const bool clears = virtualKey == kKeyBack || virtualKey == kKeyDel || virtualKey == kKeyLWin ||
                        virtualKey == kKeyRWin || (role != HotkeyRole::Switch && virtualKey == kKeyF12);
    // The text alone marks a cleared hotkey; the edit keeps its code.
    if (clears) return {kNoKey, std::nullopt};
    if (IsAllowedHotkeyKey(virtualKey) || (role == HotkeyRole::Switch && virtualKey == kKeyTab))
        return {ModifierPrefixes(mask) + std::wstring(KeyName(virtualKey)), virtualKey};
    return {ModifierPrefixes(mask), std::nullopt};
}

SavePlan PlanHotkeySave(const std::array<std::wstring, kHotkeyCount>& texts,
                        const std::array<int, kHotkeyCount>& keptCodes) {
    SavePlan plan;
    for (int i = 0; i < kHotkeyCount; ++i)
        for (int j = i + 1; j < kHotkeyCount; ++j)
            if (texts[i] == texts[j]) plan.conflict = true;
    if (plan.conflict) return plan;
    for (int i = 0; i < kHotkeyCount; ++i) {
        const std::wstring& text = texts[i];
        if (text.empty() || text.back() == L' ') continue;
        auto has = [&text](const wchar_t* part) { return text.find(part) != std::wstring::npos; };
        const int code = has(kNoKey) ? 0 : keptCodes[i];
        const int mask =
            (has(L"Ctrl") ? kModCtrl : 0) | (has(L"Shift") ? kModShift : 0) | (has(L"Alt") ? kModAlt : 0);
        plan.writes[i] = HotkeySpec{code, mask};
    }
    return plan;
}

void ModifierTracker::OnKey(int virtualKey, bool down, std::uint32_t now) {
    // Shift, Ctrl and Alt come as 0x10-0x12 or as their left and right codes 0xA0-0xA5; the plain
    // code counts as the left key (a synthesized press may be released as the left key).
    if (virtualKey >= 0x10 && virtualKey <= 0x12) virtualKey = 0xA0 + (virtualKey - 0x10) * 2;
    if (virtualKey < 0xA0 || virtualKey > 0xA5) return;
    m_keys[static_cast<std::size_t>(virtualKey - 0xA0)] = {down, true, now};
}

void ModifierTracker::Reconcile(std::uint32_t now, const std::function<bool(int)>& isDown) {
    for (std::size_t i = 0; i < m_keys.size(); ++i) {
        Key& key = m_keys[i];
        if (!key.seen || now - key.at >= kSettleMs) key.down = isDown(0xA0 + static_cast<int>(i));
    }
}

int ModifierTracker::Mask() const {
    auto held = [&](std::size_t left) { return m_keys[left].down || m_keys[left + 1].down; };
    return ModifierMask(held(2), held(0), held(4));
}

GlobalHotkey MatchGlobalHotkey(bool hasTab, unsigned message, std::uintptr_t virtualKey, int mask,
                               HotkeySpec boss, HotkeySpec sound) {
    if (!hasTab || (message != kMsgKeyDown && message != kMsgSysKeyDown)) return GlobalHotkey::None;
    if (HotkeyMatches(boss, virtualKey, mask)) return GlobalHotkey::Boss;
    if (HotkeyMatches(sound, virtualKey, mask)) return GlobalHotkey::Sound;
    return GlobalHotkey::None;
}

} // namespace base
