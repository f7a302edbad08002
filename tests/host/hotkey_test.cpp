// Hotkeys: the stored form as it is read back, the display form, the settings dialog's capture
// and save rules played through as a player would use them, and the desktop-wide keys.
#include "base/hotkey.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

using base::HotkeyRole;
using base::HotkeySpec;

constexpr int kCtrl = base::kModCtrl, kShift = base::kModShift, kAlt = base::kModAlt;

TEST(Hotkey, StoredTextReadsLeadingNumbersAndNeverOverflows) {
    const struct {
        std::wstring text;
        HotkeySpec expected;
    } cases[] = {
        {L"2,81", {81, 2}},
        {L"0,121", {121, 0}},
        {L"", {0, 0}},
        {L"7", {0, 7}}, // no comma: all of it is the mask
        {L",9", {9, 0}},
        {L"2,", {0, 2}},
        {L"a,9", {9, 0}},    // no digits read as 0
        {L" 2, 9x", {9, 2}}, // leading blanks, trailing rubbish
        {L"2,9,1", {9, 2}},  // only the first comma divides
        {L"-1,+9", {9, -1}},
        {L"2,0x51", {0, 2}},
        {L"2147483647,1", {1, INT_MAX}},
        {L"-2147483648,1", {1, INT_MIN}},
        {L"2147483648,81", {81, 0}}, // one past the range: an ordinary unusable 0
        {L"2,99999999999999999999999", {0, 2}},
        {L"2," + std::wstring(29, L'0') + L"81", {0, 2}}, // the digits beyond 31 characters are not read
    };
    for (const auto& c : cases)
        EXPECT_EQ(base::ParseHotkeyText(c.text), c.expected) << std::string(c.text.begin(), c.text.end());
    EXPECT_EQ(base::HotkeyText({81, 2}), L"2,81");
}

TEST(Hotkey, DisplayForm) {
    EXPECT_EQ(base::FormatHotkey({81, kCtrl}), L"Ctrl  +  Q");
    EXPECT_EQ(base::FormatHotkey({0, kCtrl}), L"无");
    EXPECT_EQ(base::FormatHotkey({0xDC, kCtrl | kShift | kAlt}), L"Ctrl  +  Shift  +  Alt  +  \\");
    EXPECT_EQ(base::FormatHotkey({0x6C, kShift}), L"Shift  +  "); // a code without a name
}

TEST(Hotkey, OnlyKeyDownsAndTheSystemKeysF10AndAltAreCaptured) {
    EXPECT_TRUE(base::IsExaminedKeyMessage(base::kMsgKeyDown, 'X'));
    EXPECT_TRUE(base::IsExaminedKeyMessage(base::kMsgSysKeyDown, 0x79));
    EXPECT_TRUE(base::IsExaminedKeyMessage(base::kMsgSysKeyDown, 0x12));
    EXPECT_FALSE(base::IsExaminedKeyMessage(base::kMsgSysKeyDown, 'X')); // Alt+X stays a mnemonic
    EXPECT_FALSE(base::IsExaminedKeyMessage(0x0101, 'X'));               // key-up
    EXPECT_FALSE(base::IsExaminedKeyMessage(0x0102, 'x'));               // character
}

// Any hotkey the dialog can show is written back unchanged when the player only presses OK.
TEST(Hotkey, UntouchedDialogSavesWhatItLoaded) {
    for (int code = 1; code < 256; ++code) {
        if (!base::IsAllowedHotkeyKey(code)) continue;
        for (int mask = 0; mask < 8; ++mask) {
            const HotkeySpec boss{code, mask};
            const auto plan =
                base::PlanHotkeySave({base::FormatHotkey(boss), L"Ctrl  +  Tab", L"无"}, {code, 9, 81});
            ASSERT_FALSE(plan.conflict) << code << "," << mask;
            ASSERT_TRUE(plan.writes[0]);
            EXPECT_EQ(*plan.writes[0], boss);
            EXPECT_EQ(*plan.writes[2], (HotkeySpec{0, 0}));
        }
    }
}

// The dialog played through: presses in the edits, then OK.
struct Press {
    HotkeyRole edit;
    int key;
    int mask;
};

struct DialogRun {
    std::vector<Press> presses;
    std::vector<std::wstring> textsAfter;
    bool conflict;
    std::vector<std::optional<HotkeySpec>> written;
};

void Play(const DialogRun& run, const char* what) {
    std::array<std::wstring, 3> texts = {L"F10", L"Ctrl  +  Tab", L"Ctrl  +  Q"};
    std::array<int, 3> codes = {121, 9, 81};
    for (const Press& p : run.presses) {
        const auto captured = base::CaptureKey(p.edit, p.key, p.mask);
        texts[static_cast<int>(p.edit)] = captured.text;
        if (captured.code) codes[static_cast<int>(p.edit)] = *captured.code;
    }
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(texts[i], run.textsAfter[i]) << what << " edit " << i;
    const auto plan = base::PlanHotkeySave(texts, codes);
    EXPECT_EQ(plan.conflict, run.conflict) << what;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(plan.writes[i], run.written[i]) << what << " hotkey " << i;
}

TEST(Hotkey, SettingsDialogCaptureAndSave) {
    using R = HotkeyRole;
    const std::optional<HotkeySpec> none;
    const struct {
        const char* what;
        DialogRun run;
    } cases[] = {
        {"defaults saved as they are",
         {{},
          {L"F10", L"Ctrl  +  Tab", L"Ctrl  +  Q"},
          false,
          {HotkeySpec{121, 0}, HotkeySpec{9, 2}, HotkeySpec{81, 2}}}},
        {"a new boss key with modifiers",
         {{{R::Boss, 'X', kCtrl | kAlt}},
          {L"Ctrl  +  Alt  +  X", L"Ctrl  +  Tab", L"Ctrl  +  Q"},
          false,
          {HotkeySpec{'X', kCtrl | kAlt}, HotkeySpec{9, 2}, HotkeySpec{81, 2}}}},
        {"F12 clears the boss key, stored as 0,0",
         {{{R::Boss, 0x7B, 0}},
          {L"无", L"Ctrl  +  Tab", L"Ctrl  +  Q"},
          false,
          {HotkeySpec{0, 0}, HotkeySpec{9, 2}, HotkeySpec{81, 2}}}},
        {"F12 in the switch edit leaves only the prefixes, which keep the stored value",
         {{{R::Switch, 0x7B, kCtrl}},
          {L"F10", L"Ctrl  +  ", L"Ctrl  +  Q"},
          false,
          {HotkeySpec{121, 0}, none, HotkeySpec{81, 2}}}},
        {"two cleared keys conflict",
         {{{R::Boss, 0x08, 0}, {R::Sound, 0x2E, kShift}},
          {L"无", L"Ctrl  +  Tab", L"无"},
          true,
          {none, none, none}}},
        {"the same key twice conflicts",
         {{{R::Sound, 0x79, 0}}, {L"F10", L"Ctrl  +  Tab", L"F10"}, true, {none, none, none}}},
        {"Ctrl then Shift alone keeps the stored sound key",
         {{{R::Sound, 0x11, kCtrl}, {R::Sound, 0x10, kCtrl | kShift}},
          {L"F10", L"Ctrl  +  Tab", L"Ctrl  +  Shift  +  "},
          false,
          {HotkeySpec{121, 0}, HotkeySpec{9, 2}, none}}},
        {"Tab is taken for the switch key only",
         {{{R::Switch, 0x09, kShift}, {R::Boss, 0x09, kShift}},
          {L"Shift  +  ", L"Shift  +  Tab", L"Ctrl  +  Q"},
          false,
          {none, HotkeySpec{9, kShift}, HotkeySpec{81, 2}}}},
        {"a cleared key takes a new one",
         {{{R::Boss, 0x5C, 0}, {R::Boss, 'B', kShift}},
          {L"Shift  +  B", L"Ctrl  +  Tab", L"Ctrl  +  Q"},
          false,
          {HotkeySpec{'B', kShift}, HotkeySpec{9, 2}, HotkeySpec{81, 2}}}},
        {"a refused key without modifiers empties the edit, which is not saved",
         {{{R::Boss, 0x1B, 0}},
          {L"", L"Ctrl  +  Tab", L"Ctrl  +  Q"},
          false,
          {none, HotkeySpec{9, 2}, HotkeySpec{81, 2}}}},
        {"F10 as a system key and Alt alone",
         {{{R::Sound, 0x79, 0}, {R::Boss, 0x12, kAlt}},
          {L"Alt  +  ", L"Ctrl  +  Tab", L"F10"},
          false,
          {none, HotkeySpec{9, 2}, HotkeySpec{0x79, 0}}}},
    };
    for (const auto& c : cases)
        Play(c.run, c.what);
}

TEST(Hotkey, ModifiersFollowTheirKeyEvents) {
    base::ModifierTracker keys;
    const struct {
        int key;
        bool down;
        int mask;
    } steps[] = {
        {0xA2, true, kCtrl},
        {0xA3, true, kCtrl},
        {0xA2, false, kCtrl}, // right Ctrl still down
        {0xA1, true, kCtrl | kShift},
        {0xA3, false, kShift},
        {'Q', true, kShift},
        {0x12, true, kShift | kAlt},
        {0xA4, false, kShift}, // the plain code is the left key
        {0xA1, false, 0},
        {0x11, false, 0}, // releasing what is up changes nothing
    };
    for (const auto& s : steps) {
        keys.OnKey(s.key, s.down, 0);
        EXPECT_EQ(keys.Mask(), s.mask) << std::hex << s.key << " " << s.down;
    }
}

TEST(Hotkey, ModifiersTakeTheSystemsKeyStateOnceSettled) {
    base::ModifierTracker keys;
    keys.OnKey(0xA2, true, 1000); // left Ctrl, whose release never reaches the hook
    keys.Reconcile(1010, [](int) { return false; });
    EXPECT_EQ(keys.Mask(), kCtrl) << "the system's state still lags behind the hook";
    keys.Reconcile(1300, [](int) { return false; });
    EXPECT_EQ(keys.Mask(), 0);
    keys.Reconcile(1400, [](int code) { return code == 0xA5; });
    EXPECT_EQ(keys.Mask(), kAlt) << "a press the hook never saw";
}

TEST(Hotkey, DesktopKeysActOnKeyDownsWhileThereIsATab) {
    using base::GlobalHotkey;
    const HotkeySpec f10{0x79, 0}, ctrlQ{'Q', kCtrl}, cleared{0, 0};
    const struct {
        bool hasTab;
        unsigned message;
        int key, mask;
        HotkeySpec boss, sound;
        GlobalHotkey expected;
    } cases[] = {
        {true, base::kMsgSysKeyDown, 0x79, 0, f10, ctrlQ, GlobalHotkey::Boss},
        {false, base::kMsgSysKeyDown, 0x79, 0, f10, ctrlQ, GlobalHotkey::None},
        {true, 0x0105, 0x79, 0, f10, ctrlQ, GlobalHotkey::None}, // key-up
        {true, base::kMsgKeyDown, 'Q', kCtrl, f10, ctrlQ, GlobalHotkey::Sound},
        {true, base::kMsgKeyDown, 'Q', kCtrl | kShift, f10, ctrlQ, GlobalHotkey::None},
        {true, base::kMsgKeyDown, 0x79, 0, f10, f10, GlobalHotkey::Boss}, // the boss key wins
        {true, base::kMsgKeyDown, 0, 0, cleared, cleared, GlobalHotkey::None},
        {true, base::kMsgKeyDown, 0xFF, 7, base::kUnloadedHotkey, base::kUnloadedHotkey, GlobalHotkey::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(base::MatchGlobalHotkey(c.hasTab, c.message, static_cast<std::uintptr_t>(c.key), c.mask,
                                          c.boss, c.sound),
                  c.expected)
            << c.key << " " << c.mask;
}

} // namespace
