// Page-process rules: the refresh key's owner, Ctrl+D's first press, the login
// page's no-drag area, the label length the main window keeps and the automation request.
#include "web/gm_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "base/page_protocol.h"

namespace {

using base::HotkeySpec;

TEST(GmRules, FavouritesOnlyOnFirstPressOfCtrlD) {
    const struct {
        std::uintptr_t wParam;
        std::intptr_t lParam;
        bool expected;
    } cases[] = {
        {4, 0x00200001, true},  {0x10004, 0x00200001, true}, // only the low word is the character
        {4, 0x40200001, false},                              // auto-repeat: previous-state bit set
        {4, 0x20200001, false},                              // Alt held
        {4, 0x01200001, false},                              // extended key
        {4, 0x00210001, false},                              // another scan code
        {5, 0x00200001, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(base::IsFavouritesChar(c.wParam, c.lParam), c.expected) << std::hex << c.lParam;
}

TEST(GmRules, RefreshBelongsToAnUnmodifiedF5HotkeyUnlessTheMainWindowAsks) {
    const HotkeySpec plainF5{0x74, 0}, ctrlF5{0x74, 2}, f10{121, 0}, ctrlQ{81, 2};
    const struct {
        HotkeySpec boss, sound;
        std::intptr_t lParam;
        bool hasView;
        web::RefreshKey expected;
    } cases[] = {
        {f10, ctrlQ, 0x003F0001, true, web::RefreshKey::Refresh},
        {plainF5, ctrlQ, 0x003F0001, true, web::RefreshKey::Swallow},
        {f10, plainF5, 0x003F0001, true, web::RefreshKey::Swallow},
        {plainF5, ctrlQ, base::kSelfMarker, true, web::RefreshKey::Refresh},
        {ctrlF5, ctrlQ, 0x003F0001, true, web::RefreshKey::Refresh},
        {f10, ctrlQ, base::kSelfMarker, false, web::RefreshKey::Swallow},
    };
    for (const auto& c : cases)
        EXPECT_EQ(web::ScreenRefreshKey(c.boss, c.sound, c.lParam, c.hasView), c.expected);
}

TEST(GmRules, LoginDragSkipsThePageButtonsArea) {
    using web::ElementEvent;
    const struct {
        ElementEvent event;
        int x, y;
        std::optional<std::uint32_t> expected;
    } cases[] = {
        {ElementEvent::MouseDown, 10, 10, web::kNcLButtonDown},
        {ElementEvent::MouseUp, 10, 10, web::kNcLButtonUp},
        {ElementEvent::MouseMove, 10, 10, web::kNcMouseMove},
        {ElementEvent::MouseOver, 10, 10, std::nullopt},
        {ElementEvent::ContextMenu, 10, 10, std::nullopt},
        {ElementEvent::MouseDown, 739, 93, std::nullopt}, // both ends of the area are inside
        {ElementEvent::MouseDown, 786, 114, std::nullopt},
        {ElementEvent::MouseMove, 760, 100, std::nullopt},
        {ElementEvent::MouseDown, 738, 100, web::kNcLButtonDown},
        {ElementEvent::MouseDown, 787, 100, web::kNcLButtonDown},
        {ElementEvent::MouseDown, 760, 92, web::kNcLButtonDown},
        {ElementEvent::MouseDown, 760, 115, web::kNcLButtonDown},
    };
    for (const auto& c : cases)
        EXPECT_EQ(web::LoginDragMessage(c.event, c.x, c.y), c.expected) << c.x << "," << c.y;
}

TEST(GmRules, LabelLengthMatchesWhatTheMainWindowKeeps) {
    const std::wstring longest(base::kMaxTabLabelChars, L'a');
    EXPECT_TRUE(web::LabelFitsMainWindow(longest));
    EXPECT_TRUE(web::LabelFitsMainWindow(L"服--"));
    EXPECT_FALSE(web::LabelFitsMainWindow(longest + L"a"));
    // What fits here is what the main window reads back from the copy-data block.
    for (const std::wstring& label : {longest, longest + L"a"}) {
        std::vector<char16_t> block(label.begin(), label.end());
        block.push_back(0);
        const bool kept = base::ParseLabelCopyData(block.data(), block.size() * 2).has_value();
        EXPECT_EQ(kept, web::LabelFitsMainWindow(label)) << label.size();
    }
}

TEST(GmRules, AutomationUrlIsReadDefensively) {
    const char16_t url[] = u"app://loadgame?S1%E6%9C%8D-x-y|http://127.0.0.1/g";
    EXPECT_EQ(web::ReadAutomationUrl(url, sizeof(url)),
              std::wstring(L"app://loadgame?S1%E6%9C%8D-x-y|http://127.0.0.1/g"));
    // Without its zero the block still ends the URL.
    EXPECT_EQ(web::ReadAutomationUrl(url, 6 * 2), std::wstring(L"app://"));
    // Any alignment of another process's block.
    std::vector<unsigned char> shifted(1 + 4);
    std::memcpy(shifted.data() + 1, u"ab", 4);
    EXPECT_EQ(web::ReadAutomationUrl(shifted.data() + 1, 4), std::wstring(L"ab"));
    EXPECT_FALSE(web::ReadAutomationUrl(nullptr, 8));
    EXPECT_FALSE(web::ReadAutomationUrl(url, 0));
    EXPECT_FALSE(web::ReadAutomationUrl(url, 5));
    EXPECT_FALSE(web::ReadAutomationUrl(u"\0abc", 8));
    std::u16string tooLong(web::kMaxAutomationUrlChars + 1, u'a');
    EXPECT_FALSE(web::ReadAutomationUrl(tooLong.data(), tooLong.size() * 2));
    tooLong.pop_back();
    EXPECT_TRUE(web::ReadAutomationUrl(tooLong.data(), tooLong.size() * 2));
}

} // namespace
