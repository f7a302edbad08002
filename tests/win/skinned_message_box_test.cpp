// The skinned message box under the real dialog manager: every caller's message with its
// size and buttons, the results of each button and of the close command, Enter and Escape
// ignored, and every line of the text on the screen in each button set.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "base/handle_win.h"
#include "ui/msgbox_layout.h"
#include "ui/skinned_message_box_win.h"
#include "win_test_support.h"

namespace {

using Step = std::function<void(HWND box)>;

// Runs ShowMessageBox and, from a timer inside its modal loop, hands the box to each step in
// turn (one step per tick, so that what a step posts is handled before the next one looks).
// A box still open 5 s after the last step is closed, and that is reported.
struct BoxRun {
    std::vector<Step> steps;
    size_t next = 0;
    int ticksAfterLast = 0;
    bool forcedClose = false;
};
BoxRun* g_run = nullptr;

BOOL CALLBACK FindBox(HWND hwnd, LPARAM out) {
    wchar_t cls[16] = {};
    ::GetClassNameW(hwnd, cls, 16);
    if (::IsWindowVisible(hwnd) && std::wstring(cls) == L"#32770") {
        *reinterpret_cast<HWND*>(out) = hwnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
    if (!box || !g_run) return;
    if (g_run->next < g_run->steps.size()) {
        g_run->steps[g_run->next++](box);
    } else if (++g_run->ticksAfterLast > 100) {
        g_run->forcedClose = true;
        ::PostMessageW(box, WM_CLOSE, 0, 0);
    }
}

int RunBox(HWND parent, const std::wstring& text, const wchar_t* caption, UINT type,
           std::vector<Step> steps) {
    BoxRun run{std::move(steps)};
    g_run = &run;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, OnTick);
    const int result = ui::ShowMessageBox(parent, text.c_str(), caption, type);
    ::KillTimer(nullptr, timer);
    g_run = nullptr;
    EXPECT_FALSE(run.forcedClose) << "the box did not end by itself";
    EXPECT_EQ(run.next, run.steps.size()) << "not every step ran";
    return result;
}

RECT ClientRectOf(HWND child, HWND parent) {
    RECT rc{};
    ::GetWindowRect(child, &rc);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

std::wstring TextOf(HWND hwnd) {
    wchar_t buf[64] = {};
    ::GetWindowTextW(hwnd, buf, 64);
    return buf;
}

// What a box should look like: its window size and its buttons' client rectangles (a second
// button only in the two-button sets), measured once and checked by hand.
struct Layout {
    int width, height;
    RECT first, second;
};

// Checks the box's size and its buttons' places and texts.
Step CheckLayout(Layout want, UINT type) {
    return [want, type](HWND box) {
        RECT window{};
        ::GetWindowRect(box, &window);
        EXPECT_EQ(window.right - window.left, want.width) << "type " << type;
        EXPECT_EQ(window.bottom - window.top, want.height) << "type " << type;

        const bool two = type == 1 || type == 4;
        const std::pair<RECT, const wchar_t*> buttons[] = {{want.first, type == 4 ? L"是" : L"确定"},
                                                           {want.second, type == 4 ? L"否" : L"取消"}};
        for (int id : {5000, 5001}) {
            const HWND button = ::GetDlgItem(box, id);
            if (id == 5001 && !two) {
                EXPECT_EQ(button, nullptr) << "type " << type << " has no button " << id;
                continue;
            }
            ASSERT_NE(button, nullptr) << "type " << type << " button " << id;
            const auto& [rect, text] = buttons[id - 5000];
            const RECT rc = ClientRectOf(button, box);
            EXPECT_TRUE(::EqualRect(&rc, &rect)) << "type " << type << " button " << id << ": " << rc.left
                                                 << "," << rc.top << "," << rc.right << "," << rc.bottom;
            EXPECT_EQ(TextOf(button), text) << "type " << type << " button " << id;
            EXPECT_TRUE(::IsWindowVisible(button));
        }
    };
}

Step Click(int id) {
    return [id](HWND box) {
        ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(box, id)));
    };
}

Step Post(UINT msg, WPARAM wParam, LPARAM lParam = 0) {
    return [=](HWND box) { ::PostMessageW(box, msg, wParam, lParam); };
}

Step Wait() {
    return [](HWND) {};
}

const wchar_t* const kCaption = L"Vexa - Tarn";

} // namespace

TEST(SkinnedMessageBox, EveryCallersMessageShowsWithItsSizeAndButtons) {
    struct Case {
        const wchar_t* caption;
        UINT type;
        std::wstring text;
        Layout layout; // one line: 129 high, buttons 53 above the bottom, centred, 20 apart
    } cases[] = {
        {kCaption, 4, L"确定要移除 VexaTarn微端吗？", {208, 129, {37, 76, 94, 99}, {114, 76, 171, 99}}},
        {kCaption, 0, L"初始化OLE库失败", {174, 129, {58, 76, 115, 99}}},
        {kCaption,
         0,
         L"Vexa - Tarn已成功移除，部分文件将在程序退出\r\n或计算机重启后自行删除",
         {292, 145, {117, 92, 174, 115}}},
        {kCaption, 4, L"窗口即将关闭，确定要退出游戏？", {225, 129, {45, 76, 102, 99}, {122, 76, 179, 99}}},
        {kCaption,
         4,
         L"确定要退出账号：12服-双线-player01 ?",
         {251, 129, {58, 76, 115, 99}, {135, 76, 192, 99}}},
        {kCaption, 0, L"当前窗体只支持3个游戏页", {187, 129, {65, 76, 122, 99}}},
        {kCaption, 0, L"缓存清除完毕！", {174, 129, {58, 76, 115, 99}}},
        {kCaption, 0, L"已经是最新版本，无需进行更新。", {225, 129, {84, 76, 141, 99}}},
        {kCaption, 0, L"热键冲突，请重新设置不同热键值", {225, 129, {84, 76, 141, 99}}},
        {kCaption,
         0,
         L"账号 player01 已在 12服 登录，同一账号不能在一服重复登录",
         {357, 129, {150, 76, 207, 99}}},
        {L"VexaEmber游戏大厅",
         1,
         L"下载Ember登录器，玩游戏更加方便快捷，现在就去下载吧？",
         {356, 129, {111, 76, 168, 99}, {188, 76, 245, 99}}},
    };
    for (const auto& c : cases) {
        std::wstring title;
        const Step checkTitle = [&](HWND box) {
            wchar_t buf[64] = {};
            ::GetWindowTextW(box, buf, 64);
            title = buf;
        };
        const int result = RunBox(nullptr, c.text, c.caption, c.type,
                                  {CheckLayout(c.layout, c.type), checkTitle, Click(5000)});
        EXPECT_EQ(result, c.type == 4 ? 6 : 1) << c.caption;
        EXPECT_EQ(title, c.caption);
    }
}

TEST(SkinnedMessageBox, ButtonsAndCloseGiveTheirResults) {
    struct Case {
        UINT type;
        std::vector<Step> steps;
        int result;
    } cases[] = {
        {0, {Click(5000)}, 1},
        {1, {Click(5000)}, 1},
        {1, {Click(5001)}, 2},
        {4, {Click(5000)}, 6},
        {4, {Click(5001)}, 7},
        {3, {Click(5000)}, 1}, // other types behave as OK
        {0, {Post(WM_SYSCOMMAND, SC_CLOSE)}, 2},
        {4, {Post(WM_SYSCOMMAND, SC_CLOSE)}, 2}, // the close button is a "no" to callers
        {4, {Post(WM_COMMAND, 50000)}, 2},       // the caption's close button
        {1, {Post(WM_CLOSE, 0)}, 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RunBox(nullptr, L"缓存清除完毕！", kCaption, c.type, c.steps), c.result)
            << "type " << c.type;
    }
}

TEST(SkinnedMessageBox, EnterAndEscapeLeaveTheBoxOpen) {
    for (UINT type : {0u, 1u, 4u}) {
        const auto keys = [](HWND box) {
            const HWND focus = ::GetFocus() ? ::GetFocus() : box;
            for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
                ::PostMessageW(focus, WM_KEYDOWN, key, 1);
                ::PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
            }
            // What the dialog manager makes of them, given directly as well.
            ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        };
        bool openAfterKeys = false;
        const Step check = [&](HWND box) { openAfterKeys = ::IsWindowVisible(box) != FALSE; };
        // The box must still be there for the last click, whose result is the one returned.
        const int result = RunBox(nullptr, L"窗口即将关闭，确定要退出游戏？", kCaption, type,
                                  {keys, Wait(), Wait(), check, Click(type == 0 ? 5000 : 5001)});
        EXPECT_TRUE(openAfterKeys) << "type " << type;
        EXPECT_EQ(result, type == 4 ? 7 : (type == 1 ? 2 : 1)) << "type " << type;
    }
}

TEST(SkinnedMessageBox, OwnerIsDisabledWhileTheBoxRuns) {
    const HWND owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 200, 200, 300, 200,
                                         nullptr, nullptr, nullptr, nullptr);
    bool disabled = false;
    HWND boxOwner = nullptr;
    const Step check = [&](HWND box) {
        disabled = !::IsWindowEnabled(owner);
        boxOwner = ::GetWindow(box, GW_OWNER);
    };
    EXPECT_EQ(RunBox(owner, L"缓存清除完毕！", kCaption, 0, {check, Click(5000)}), 1);
    EXPECT_TRUE(disabled);
    EXPECT_EQ(boxOwner, owner);
    EXPECT_TRUE(::IsWindowEnabled(owner));
    ::DestroyWindow(owner);
}

TEST(SkinnedMessageBox, EveryLineOfTheTextReachesTheScreenInEachButtonSet) {
    const struct Case {
        UINT type;
        const wchar_t* text;
    } cases[] = {
        {0, L"缓存清除完毕！"},
        {0, L"Vexa - Tarn已成功移除，部分文件将在程序退出\r\n或计算机重启后自行删除"},
        {1, L"下载Ember登录器，玩游戏更加方便快捷，\n现在就去下载吧？"},
        {4, L"确定要退出账号：12服-双线-player01 ?\n该账号的游戏页将被关闭"},
    };
    for (const auto& c : cases) {
        // Each line's place holds dark (smoothed black) text; a paint reaches the screen later, so the step
        // looks again on the next tick, for at most 5 s.
        std::vector<int> ink;
        int looks = 0;
        const Step lines = [&](HWND box) {
            base::WindowDC dc(box);
            base::SelectedObject font(dc.Get(),
                                      reinterpret_cast<HFONT>(::SendMessageW(box, WM_GETFONT, 0, 0)));
            RECT measured{}, client{};
            ::DrawTextW(dc.Get(), c.text, -1, &measured, DT_CALCRECT | DT_NOPREFIX);
            ::GetClientRect(box, &client);
            ink.clear();
            for (const auto& line :
                 ui::LayoutMsgBoxLines(c.text, client.right, measured.right, measured.bottom)) {
                RECT rc{line.rect.left, line.rect.top, line.rect.right, line.rect.bottom};
                ::MapWindowPoints(box, nullptr, reinterpret_cast<POINT*>(&rc), 2);
                ink.push_back(wintest::CountScreenPixels(rc, RGB(0, 0, 0), 128));
            }
            const bool drawn = !ink.empty() && std::ranges::all_of(ink, [](int n) { return n >= 20; });
            if (!drawn && ++looks < 100) --g_run->next;
        };
        RunBox(nullptr, c.text, kCaption, c.type, {lines, Post(WM_CLOSE, 0)});
        EXPECT_EQ(ink.size(), static_cast<size_t>(ui::CountMessageLines(c.text))) << c.type;
        for (size_t i = 0; i < ink.size(); ++i)
            EXPECT_GE(ink[i], 20) << "type " << c.type << " line " << i;
    }
}
