// The window-switch key in the main game window: without settings it is Ctrl+Tab, which selects
// the next tab (wrapping) and shows its page; other modifiers and the program's own marked key
// messages leave the selection alone.
#include <windows.h>

#include <initializer_list>

#include "mainwnd_fixture.h"

using namespace mwtest;

namespace {

void SetKeys(std::initializer_list<int> down) {
    BYTE keys[256] = {};
    for (int k : down)
        keys[k] = 0x80;
    ::SetKeyboardState(keys);
}

} // namespace

TEST_F(MainWindowTest, DefaultSwitchKeySelectsTheNextTab) {
    const HWND pages[] = {OpenTab(L"1服-a-one"), OpenTab(L"1服-a-two"), OpenTab(L"1服-a-three")};
    ASSERT_EQ(m_dlg.Model().CurTab(), 2);

    struct Step {
        const char* how;
        std::initializer_list<int> keys;
        UINT msg;
        LPARAM lParam;
        int selectedAfter;
    };
    const Step steps[] = {
        {"Ctrl+Tab wraps to the first tab", {VK_CONTROL}, WM_KEYDOWN, 0x000F0001, 0},
        {"Tab alone", {}, WM_KEYDOWN, 0x000F0001, 0},
        {"Ctrl+Shift+Tab", {VK_CONTROL, VK_SHIFT}, WM_KEYDOWN, 0x000F0001, 0},
        {"marked as the program's own", {VK_CONTROL}, WM_KEYDOWN, 7301, 0},
        {"Ctrl+Tab", {VK_CONTROL}, WM_KEYDOWN, 0x000F0001, 1},
        {"Ctrl+Tab as a system key", {VK_CONTROL}, WM_SYSKEYDOWN, 0x000F0001, 2},
    };
    for (const Step& s : steps) {
        SetKeys(s.keys);
        PostAndPump(s.msg, VK_TAB, s.lParam);
        EXPECT_EQ(m_dlg.Model().CurTab(), s.selectedAfter) << s.how;
        const HWND shown = pages[s.selectedAfter];
        EXPECT_TRUE(Pump([&] { return ::IsWindowVisible(shown) != FALSE; }, 2000)) << s.how;
        for (HWND other : pages) {
            if (other != shown) {
                EXPECT_FALSE(::IsWindowVisible(other)) << s.how;
            }
        }
    }
    SetKeys({});
}
