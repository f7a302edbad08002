// The tab strip on the real main window: hit testing and the hover look with exactly the
// invalidation it needs, selection and closing by mouse in client and caption form, and the
// frames each tab and the hot close box show on the screen.
#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "mainwnd_fixture.h"
#include "resource.h"
#include "ui/skin_image_win.h"

using namespace mwtest;

namespace {

// The part of the window waiting to be repainted, as one bounding rectangle (empty: none).
RECT PendingUpdate(HWND hwnd) {
    RECT rc{};
    ::GetUpdateRect(hwnd, &rc, FALSE);
    return rc;
}

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// A page window of this process: Wine draws another process's child window into its own X
// window, which a screen capture of the main window does not show, so the picture is taken
// with pages that live here and announce themselves the same way.
class LocalPage : public CWnd {
public:
    LocalPage(HWND main, const wchar_t* label, COLORREF color) : m_color(color) {
        CreateEx(0, nullptr, L"", WS_CHILD | WS_CLIPCHILDREN, 0, 0, 10, 10, main, nullptr);
        COPYDATASTRUCT cds{};
        cds.cbData = static_cast<DWORD>((wcslen(label) + 1) * sizeof(wchar_t));
        cds.lpData = const_cast<wchar_t*>(label);
        ::SendMessageW(main, WM_COPYDATA, reinterpret_cast<WPARAM>(m_hWnd), reinterpret_cast<LPARAM>(&cds));
        ::PostMessageW(main, base::WM_PAGECREATED, reinterpret_cast<WPARAM>(m_hWnd), 0);
    }
    ~LocalPage() override { DestroyWindow(); }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_ERASEBKGND) {
            RECT rc = GetClientRect();
            base::Brush brush(::CreateSolidBrush(m_color));
            ::FillRect(reinterpret_cast<HDC>(wParam), &rc, brush.Get());
            return TRUE;
        }
        return CWnd::WindowProc(msg, wParam, lParam);
    }

private:
    COLORREF m_color;
};

} // namespace

class TabStrip : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        m_pages[0] = OpenTab(L"1服-north-alpha", L"B04030");
        m_pages[1] = OpenTab(L"2服-east-beta-with-a-label-far-too-long-for-its-tab", L"2F8F4F");
        m_pages[2] = OpenTab(L"3服-west-gamma", L"3050B0");
        ::RedrawWindow(m_dlg.m_hWnd, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    // Client point → the screen point a hit test carries.
    LRESULT HitTest(int x, int y) {
        POINT p{x, y};
        ::ClientToScreen(m_dlg.m_hWnd, &p);
        ::ValidateRect(m_dlg.m_hWnd, nullptr);
        return ::SendMessageW(m_dlg.m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    }
    LPARAM ScreenPoint(int x, int y) {
        POINT p{x, y};
        ::ClientToScreen(m_dlg.m_hWnd, &p);
        return MAKELPARAM(p.x, p.y);
    }
    HWND m_pages[3] = {};
};

TEST_F(TabStrip, HoverFollowsTheHitTestAndRepaintsOnlyWhatChanged) {
    ASSERT_TRUE(m_dlg.IsMaximized());
    using enum mainwnd::CloseBoxState;
    struct Step {
        const char* where;
        int x, y;
        int hoverTab;
        mainwnd::CloseBoxState closeBox;
        RECT repaint; // bounding box of what is invalidated; empty for nothing
    } steps[] = {
        {"left edge of the strip", 120, 10, -1, None, {}},
        {"first tab", 200, 10, 0, Normal, {120, 3, 309, 25}},
        {"same tab, same look", 210, 12, 0, Normal, {}},
        {"onto its close box", 300, 8, 0, Hot, {296, 3, 309, 16}},
        {"below the close box", 300, 20, 0, Normal, {296, 3, 309, 16}},
        {"next tab", 320, 10, 1, Normal, {120, 3, 498, 25}},
        {"below the strip", 320, 25, -1, None, {309, 3, 498, 25}},
        {"right end of three tabs", 687, 10, -1, None, {}},
        {"last tab", 686, 24, 2, Normal, {498, 3, 687, 25}},
    };
    for (const Step& s : steps) {
        HitTest(s.x, s.y);
        EXPECT_EQ(m_dlg.Model().Hover().hoverTab, s.hoverTab) << s.where;
        EXPECT_EQ(m_dlg.Model().Hover().closeBoxState, s.closeBox) << s.where;
        const RECT update = PendingUpdate(m_dlg.m_hWnd);
        EXPECT_TRUE(Same(update, s.repaint)) << s.where << ": " << update.left << "," << update.top << ","
                                             << update.right << "," << update.bottom;
    }
    // Leaving the window forgets the hover.
    ::ValidateRect(m_dlg.m_hWnd, nullptr);
    ::SendMessageW(m_dlg.m_hWnd, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(m_dlg.Model().Hover().hoverTab, -1);
    EXPECT_TRUE(Same(PendingUpdate(m_dlg.m_hWnd), RECT{498, 3, 687, 25}));
}

TEST_F(TabStrip, ClicksSelectAndCloseTabsInClientAndCaptionForm) {
    // Client form (maximized): a press selects and shows the tab.
    ::SendMessageW(m_dlg.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 10));
    EXPECT_EQ(m_dlg.Model().CurTab(), 0);
    EXPECT_TRUE(::IsWindowVisible(m_pages[0]));
    EXPECT_FALSE(::IsWindowVisible(m_pages[2]));
    // A double-click on a tab does not restore the window.
    ::SendMessageW(m_dlg.m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(150, 10));
    EXPECT_TRUE(m_dlg.IsMaximized());
    // Releasing over a close box, and a middle click anywhere on a tab, ask about that tab.
    ::SendMessageW(m_dlg.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(489, 8));
    ::SendMessageW(m_dlg.m_hWnd, WM_MBUTTONUP, 0, MAKELPARAM(560, 20));
    ::SendMessageW(m_dlg.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(200, 8)); // not on a close box
    ASSERT_EQ(m_dlg.asked.size(), 2u);
    EXPECT_EQ(m_dlg.asked[0].text, L"确定要退出账号：2服-east-beta-with-a-label-far-too-long-for-its-tab ?");
    EXPECT_EQ(m_dlg.asked[1].text, L"确定要退出账号：3服-west-gamma ?");
    EXPECT_EQ(m_dlg.Model().TabCount(), 3);

    // Caption form (restored): the strip lies in the caption band and answers the same way,
    // without a window drag starting on a tab.
    m_dlg.ToggleMaximize();
    Pump([] { return false; }, 100);
    ASSERT_FALSE(m_dlg.IsMaximized());
    const RECT before = [&] {
        RECT rc{};
        ::GetWindowRect(m_dlg.m_hWnd, &rc);
        return rc;
    }();
    EXPECT_EQ(HitTest(400, 10), HTCAPTION);
    ::SendMessageW(m_dlg.m_hWnd, WM_NCLBUTTONDOWN, HTCAPTION, ScreenPoint(400, 10));
    EXPECT_EQ(m_dlg.Model().CurTab(), 1);
    EXPECT_TRUE(::IsWindowVisible(m_pages[1]));
    ::SendMessageW(m_dlg.m_hWnd, WM_NCLBUTTONDBLCLK, HTCAPTION, ScreenPoint(400, 10));
    EXPECT_FALSE(m_dlg.IsMaximized()) << "a double-click on a tab does not maximize";
    RECT after{};
    ::GetWindowRect(m_dlg.m_hWnd, &after);
    EXPECT_TRUE(Same(before, after));

    m_dlg.answers = {IDYES};
    ::SendMessageW(m_dlg.m_hWnd, WM_NCMBUTTONUP, HTCAPTION, ScreenPoint(130, 10));
    EXPECT_EQ(m_dlg.Model().TabCount(), 2);
    EXPECT_EQ(m_dlg.Model().Label(0), L"2服-east-beta-with-a-label-far-too-long-for-its-tab");
    EXPECT_EQ(m_dlg.Model().CurTab(), 0) << "the tab that moved into the closed one's place";
    EXPECT_TRUE(Pump([&] { return !::IsWindow(m_pages[0]); }, 5000));
}

// A skin strip of equal frames as loaded from the resources, read pixel by pixel.
class SkinStrip {
public:
    SkinStrip(UINT id, int frameWidth)
        : m_bitmap(LoadSkinImage(::GetModuleHandleW(nullptr), id)), m_dc(::CreateCompatibleDC(nullptr)),
          m_keep(m_dc.Get(), m_bitmap.Get()), m_frameWidth(frameWidth) {}
    COLORREF At(int frame, int x, int y) const { return ::GetPixel(m_dc.Get(), frame * m_frameWidth + x, y); }
    // A point of the frames, outside `avoid` (frame coordinates), where each of them has a colour
    // of its own and none is the transparent magenta.
    POINT Distinct(int frames, int height, const std::vector<RECT>& avoid) const {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < m_frameWidth; ++x) {
                const POINT p{x, y};
                if (std::any_of(avoid.begin(), avoid.end(), [&](const RECT& r) { return ::PtInRect(&r, p); }))
                    continue;
                std::vector<COLORREF> seen;
                for (int f = 0; f < frames; ++f) {
                    const COLORREF c = At(f, x, y);
                    if (c == RGB(255, 0, 255) || std::find(seen.begin(), seen.end(), c) != seen.end()) break;
                    seen.push_back(c);
                }
                if (static_cast<int>(seen.size()) == frames) return p;
            }
        return {-1, -1};
    }

private:
    base::Bitmap m_bitmap;
    base::MemoryDC m_dc;
    base::SelectedObject m_keep;
    int m_frameWidth;
};

TEST_F(MainWindowTest, TabsShowTheirNormalSelectedAndHoverFramesAndTheHotCloseBox) {
    const struct {
        const wchar_t* label;
        COLORREF color;
    } specs[] = {{L"1服-north-alpha", RGB(176, 64, 48)},
                 {L"2服-east-beta-with-a-label-far-too-long-for-its-tab", RGB(47, 143, 79)},
                 {L"3服-west-gamma", RGB(48, 80, 176)}};
    std::vector<std::unique_ptr<LocalPage>> pages;
    for (const auto& layout : specs) {
        PlayLogin(); // the pages are this process's
        pages.push_back(std::make_unique<LocalPage>(m_dlg.m_hWnd, layout.label, layout.color));
        ASSERT_TRUE(Pump([&] { return m_dlg.Model().TabCount() == static_cast<int>(pages.size()); }, 2000));
    }
    auto screenPoint = [&](int x, int y) {
        POINT p{x, y};
        ::ClientToScreen(m_dlg.m_hWnd, &p);
        return p;
    };
    auto hitTest = [&](int x, int y) {
        const POINT p = screenPoint(x, y);
        ::SendMessageW(m_dlg.m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    };
    // A restored window showing the whole caption band: the middle tab selected, the pointer
    // over the third. Tabs are 189 x 22 from (120, 3); a tab's label lies from (16, 5) of it, its
    // close box (13 x 13) in its top right corner.
    m_dlg.ToggleMaximize();
    ::SetWindowPos(m_dlg.m_hWnd, HWND_TOP, 40, 40, 1180, 560, SWP_SHOWWINDOW);
    ::SendMessageW(m_dlg.m_hWnd, WM_NCLBUTTONDOWN, HTCAPTION,
                   MAKELPARAM(screenPoint(320, 10).x, screenPoint(320, 10).y));
    hitTest(600, 12);
    ASSERT_EQ(m_dlg.Model().CurTab(), 1);
    ASSERT_EQ(m_dlg.Model().Hover().hoverTab, 2);
    const SkinStrip tabs(IDB_TAB, 189), closeBox(IDB_TAB_CLOSE, 13);
    const POINT in = tabs.Distinct(3, 22, {RECT{16, 5, 189, 22}, RECT{176, 0, 189, 13}});
    ASSERT_GE(in.x, 0) << "the tab frames differ outside the label";
    const int normal = 0, hover = 1, selected = 2;
    for (const auto& [left, frame] : {std::pair{120, normal}, {309, selected}, {498, hover}}) {
        const COLORREF want = tabs.At(frame, in.x, in.y);
        EXPECT_EQ(wintest::WaitForScreenPixel(screenPoint(left + in.x, 3 + in.y), want), want)
            << "tab at " << left;
    }

    hitTest(678, 8); // the hovered tab's close box turns hot
    EXPECT_EQ(m_dlg.Model().Hover().closeBoxState, mainwnd::CloseBoxState::Hot);
    const POINT box = closeBox.Distinct(2, 13, {});
    ASSERT_GE(box.x, 0);
    const COLORREF hot = closeBox.At(1, box.x, box.y);
    EXPECT_EQ(wintest::WaitForScreenPixel(screenPoint(674 + box.x, 3 + box.y), hot), hot);
    pages.clear();
}
