// The page window's keys: the refresh key's owner and Ctrl+D's first press.
#include "web/page_keys.h"

#include <gtest/gtest.h>

#include "base/page_protocol.h"

namespace {

using base::HotkeySpec;

TEST(PageKeys, FavouritesOnlyOnFirstPressOfCtrlD) {
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

TEST(PageKeys, RefreshBelongsToAnUnmodifiedF5HotkeyUnlessTheMainWindowAsks) {
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

} // namespace
