// SkinnedDialog under Wine: the frame read back from real windows (styles, caption buttons, window
// region, hit codes, painted pixels, maximize and restore, double-clicks, sizing).
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "skinned_dialog_sample.h"
#include "win_test_support.h"

using sample::Dialog;

namespace {

RECT WorkArea() {
    RECT wa{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
    return wa;
}

RECT ClientRectOf(HWND child, HWND parent) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::wstring ToolText(const ui::SkinButton& button) {
    wchar_t text[64] = {};
    TOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.hwnd = button.m_hWnd;
    ti.lpszText = text;
    SendMessageW(button.ToolTipWindow(), TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&ti));
    return text;
}

LRESULT HitAt(const Dialog& dlg, int x, int y) {
    POINT p{x, y};
    ClientToScreen(dlg.m_hWnd, &p);
    return SendMessageW(dlg.m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
}

struct Image {
    int w = 0, h = 0;
    std::vector<uint32_t> px;
    uint32_t At(int x, int y) const { return px[static_cast<size_t>(y) * w + x] & 0xFFFFFF; }
};

Image ReadBitmap(HBITMAP bmp, int w, int h) {
    Image img{w, h, std::vector<uint32_t>(static_cast<size_t>(w) * h)};
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bmp, 0, h, img.px.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return img;
}

Image SkinPixels(UINT id) {
    const base::Bitmap bmp = sample::Skin(id);
    BITMAP bm{};
    GetObjectW(bmp.Get(), sizeof(bm), &bm);
    return ReadBitmap(bmp.Get(), bm.bmWidth, bm.bmHeight);
}

// What the frame paints for a child asking for its background: WM_ERASEBKGND into a
// memory DC whose origin is shifted by (ox, oy).
Image ErasedInto(const Dialog& dlg, int w, int h, int ox = 0, int oy = 0) {
    HDC screen = GetDC(nullptr);
    base::MemoryDC dc(CreateCompatibleDC(screen));
    base::Bitmap surface(CreateCompatibleBitmap(screen, w, h));
    ReleaseDC(nullptr, screen);
    {
        base::SelectedObject keep(dc.Get(), surface.Get());
        SetWindowOrgEx(dc.Get(), ox, oy, nullptr);
        SendMessageW(dlg.m_hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0);
    }
    return ReadBitmap(surface.Get(), w, h);
}

class SkinnedFrame : public testing::Test {
protected:
    sample::Template tmpl = sample::MakeTemplate(200, 120, 9);

    // The main window's look, 720 x 420 at (100, 80).
    std::unique_ptr<Dialog> OpenMain() {
        auto dlg = std::make_unique<Dialog>(tmpl, sample::kMainLook);
        dlg->width = 720;
        dlg->height = 420;
        EXPECT_TRUE(dlg->Open(100, 80));
        return dlg;
    }
    std::unique_ptr<Dialog> OpenDialog() {
        auto dlg = std::make_unique<Dialog>(tmpl, sample::kDialogLook);
        dlg->width = 360;
        dlg->height = 200;
        EXPECT_TRUE(dlg->Open(150, 120));
        return dlg;
    }
    std::unique_ptr<Dialog> OpenPrompt() {
        auto dlg = std::make_unique<Dialog>(tmpl, sample::kPromptLook);
        EXPECT_TRUE(dlg->Open(200, 160));
        return dlg;
    }
};

} // namespace

TEST_F(SkinnedFrame, InitialisationStripsThePlatformFrameAndRecordsTheWorkArea) {
    auto dlg = OpenDialog();
    EXPECT_TRUE(dlg->GetStyle() & WS_MINIMIZEBOX);
    const RECT wr = dlg->GetWindowRect(), cr = dlg->GetClientRect();
    EXPECT_EQ(cr.right, wr.right - wr.left) << "no non-client area is left";
    EXPECT_EQ(cr.bottom, wr.bottom - wr.top);

    const RECT wa = WorkArea();
    const int w = wa.right - wa.left, h = wa.bottom - wa.top;
    EXPECT_EQ(dlg->MaximizedSize().cx, w);
    EXPECT_EQ(dlg->MaximizedSize().cy, h);
    const RECT inset{wa.left + w / 8, wa.top + h / 8, wa.right - w / 8, wa.bottom - h / 8};
    EXPECT_TRUE(EqualRect(&dlg->RestoreRect(), &inset));
}

TEST_F(SkinnedFrame, CaptionButtonsStandRightToLeftWithTheirTips) {
    auto main = OpenMain();
    struct Case {
        const ui::SkinButton* button;
        RECT rc;
        const wchar_t* tip;
    } cases[] = {
        {&main->CloseButton(), {687, 0, 720, 28}, L"关闭"},
        {&main->MaximizeButton(), {660, 0, 687, 28}, L"最大化"},
        {&main->MinimizeButton(), {633, 0, 660, 28}, L"最小化"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(c.button->IsWindow());
        const RECT rc = ClientRectOf(c.button->m_hWnd, main->m_hWnd);
        EXPECT_TRUE(EqualRect(&rc, &c.rc)) << rc.left << "," << rc.top << "," << rc.right << "," << rc.bottom;
        EXPECT_EQ(ToolText(*c.button), c.tip);
    }
    EXPECT_EQ(GetDlgCtrlID(main->CloseButton().m_hWnd), 50000);
    EXPECT_EQ(GetDlgCtrlID(main->MinimizeButton().m_hWnd), 50001);
    EXPECT_EQ(GetDlgCtrlID(main->MaximizeButton().m_hWnd), 50002);

    auto dialog = OpenDialog();
    const RECT close = ClientRectOf(dialog->CloseButton().m_hWnd, dialog->m_hWnd);
    EXPECT_EQ(close.left, 360 - 33);
    EXPECT_FALSE(dialog->MaximizeButton().IsWindow());
    EXPECT_FALSE(dialog->MinimizeButton().IsWindow());

    auto prompt = OpenPrompt();
    const RECT pr = prompt->GetWindowRect();
    EXPECT_EQ(pr.right - pr.left, 284) << "sized to its background";
    EXPECT_EQ(pr.bottom - pr.top, 150);
    EXPECT_FALSE(prompt->CloseButton().IsWindow());
}

TEST_F(SkinnedFrame, WindowShapeIsCutFromTheSkinsCornersAndFollowsAResize) {
    auto dlg = OpenMain();
    auto check = [&](int w, int h) {
        base::Region rgn(CreateRectRgn(0, 0, 0, 0));
        ASSERT_NE(GetWindowRgn(dlg->m_hWnd, rgn.Get()), ERROR);
        // The skin's transparent pixels: three at each top corner, one at each bottom corner.
        const std::set<std::pair<int, int>> holes = {{0, 0},     {1, 0},     {0, 1},     {w - 1, 0},
                                                     {w - 2, 0}, {w - 1, 1}, {0, h - 1}, {w - 1, h - 1}};
        auto isHole = [&](int x, int y) { return holes.count({x, y}) > 0; };
        for (int cy : {0, h - 9}) {
            for (int cx : {0, w - 9}) {
                for (int y = cy; y < cy + 9; ++y) {
                    for (int x = cx; x < cx + 9; ++x) {
                        EXPECT_EQ(PtInRegion(rgn.Get(), x, y) != FALSE, !isHole(x, y))
                            << w << "x" << h << " at " << x << "," << y;
                    }
                }
            }
        }
        EXPECT_FALSE(PtInRegion(rgn.Get(), 0, 0));
        EXPECT_FALSE(PtInRegion(rgn.Get(), w - 1, h - 1));
        EXPECT_TRUE(PtInRegion(rgn.Get(), w / 2, h / 2));
    };
    check(720, 420);
    SetWindowPos(dlg->m_hWnd, nullptr, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    check(500, 300);
    // The caption buttons followed the right edge.
    EXPECT_EQ(ClientRectOf(dlg->CloseButton().m_hWnd, dlg->m_hWnd).left, 467);
    EXPECT_EQ(ClientRectOf(dlg->MinimizeButton().m_hWnd, dlg->m_hWnd).left, 413);
}

TEST_F(SkinnedFrame, HitCodesDragByTheBandAndResizeAtTheEdges) {
    auto main = OpenMain();
    auto dialog = OpenDialog();
    struct Case {
        const Dialog* dlg;
        int x, y;
        LRESULT hit;
    } cases[] = {
        {main.get(), 0, 0, HTTOPLEFT},         {main.get(), 300, 2, HTTOP},
        {main.get(), 300, 3, HTCAPTION},       {main.get(), 300, 29, HTCAPTION},
        {main.get(), 300, 200, HTCLIENT},      {main.get(), 300, 419, HTBOTTOM},
        {main.get(), 719, 419, HTBOTTOMRIGHT}, {main.get(), 0, 200, HTLEFT},
        {main.get(), 716, 3, HTTOPRIGHT},      {main.get(), 3, 417, HTBOTTOMLEFT},
        {dialog.get(), 0, 0, HTCAPTION},       {dialog.get(), 180, 29, HTCAPTION},
        {dialog.get(), 180, 30, HTCLIENT},     {dialog.get(), 0, 100, HTCLIENT},
        {dialog.get(), 359, 199, HTCLIENT},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HitAt(*c.dlg, c.x, c.y), c.hit)
            << (c.dlg == main.get() ? "main " : "dialog ") << c.x << "," << c.y;
    }
}

TEST_F(SkinnedFrame, MaximizeFillsTheWorkAreaAndRestoreGoesToTheInsetRectangle) {
    auto dlg = OpenMain();
    const RECT wa = WorkArea();
    const RECT inset = dlg->RestoreRect();

    dlg->MaximizeButton().SendMessage(BM_CLICK);
    RECT r = dlg->GetWindowRect();
    EXPECT_TRUE(EqualRect(&r, &wa));
    EXPECT_TRUE(dlg->IsMaximized());
    EXPECT_EQ(ToolText(dlg->MaximizeButton()), L"还原");
    EXPECT_EQ(ClientRectOf(dlg->CloseButton().m_hWnd, dlg->m_hWnd).left, (wa.right - wa.left) - 33);
    EXPECT_EQ(HitAt(*dlg, 300, 10), HTCLIENT) << "a maximized window is neither dragged nor resized";
    EXPECT_EQ(HitAt(*dlg, 0, 0), HTCLIENT);

    // A double-click on the band (client area now) restores, to the inset rectangle since
    // the window was never dragged.
    dlg->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(300, 100));
    EXPECT_TRUE(dlg->IsMaximized()) << "below the band nothing happens";
    dlg->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(300, 10));
    EXPECT_FALSE(dlg->IsMaximized());
    r = dlg->GetWindowRect();
    EXPECT_TRUE(EqualRect(&r, &inset));
    EXPECT_EQ(ToolText(dlg->MaximizeButton()), L"最大化");

    // A double-click on the band of the resizable window maximizes; with a smaller limit
    // the window is centred in the work area.
    dlg->SetMaximizedSize(800, 500);
    POINT p{300, 10};
    ClientToScreen(dlg->m_hWnd, &p);
    dlg->SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(p.x, p.y));
    EXPECT_TRUE(dlg->IsMaximized());
    r = dlg->GetWindowRect();
    const int dx = (wa.right - wa.left - 800) / 2, dy = (wa.bottom - wa.top - 500) / 2;
    const RECT centred{wa.left + dx, wa.top + dy, wa.right - dx, wa.bottom - dy};
    EXPECT_TRUE(EqualRect(&r, &centred));
    // A hover sets the tool's text for good: checked after the last look at the tips.
    dlg->MaximizeButton().SendMessage(WM_MOUSEHOVER);
    dlg->MaximizeButton().SendMessage(BM_CLICK);
    EXPECT_FALSE(dlg->IsMaximized());
    EXPECT_FALSE(dlg->MaximizeButton().IsHovered()) << "the button moved away from under the mouse";
}

TEST_F(SkinnedFrame, DoubleClickOnTheBandOfAFixedDialogDoesNothing) {
    auto dlg = OpenDialog();
    const RECT before = dlg->GetWindowRect();
    POINT p{100, 10};
    ClientToScreen(dlg->m_hWnd, &p);
    dlg->SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(p.x, p.y));
    const RECT after = dlg->GetWindowRect();
    EXPECT_FALSE(dlg->IsMaximized());
    EXPECT_TRUE(EqualRect(&before, &after));
}

TEST_F(SkinnedFrame, EdgePressesStartTheirSizingCommandAndEveryPressRecordsTheRestoreRectangle) {
    auto dlg = OpenMain();
    dlg->interceptSizing = true;
    const std::pair<int, WPARAM> cases[] = {
        {HTLEFT, 0xF001}, {HTRIGHT, 0xF002}, {HTTOP, 0xF003}, {HTTOPLEFT, 0xF004}, {HTBOTTOMRIGHT, 0xF008}};
    for (const auto& [hit, command] : cases) {
        dlg->sizeCommands.clear();
        dlg->SendMessage(WM_NCLBUTTONDOWN, hit, MAKELPARAM(321, 234));
        ASSERT_EQ(dlg->sizeCommands.size(), 1u) << hit;
        EXPECT_EQ(dlg->sizeCommands[0].first, command);
        EXPECT_EQ(dlg->sizeCommands[0].second, MAKELPARAM(321, 234));
        EXPECT_EQ(dlg->GetStyle() & WS_THICKFRAME, 0u) << "the sizing frame is only lent for the loop";
    }
    // Moved by someone else, then a press that is no drag at all: the restore rectangle follows.
    SetWindowPos(dlg->m_hWnd, nullptr, 40, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    dlg->SendMessage(WM_NCLBUTTONDOWN, HTNOWHERE, MAKELPARAM(45, 55));
    const RECT now = dlg->GetWindowRect();
    EXPECT_TRUE(EqualRect(&dlg->RestoreRect(), &now));
    dlg->ToggleMaximize();
    dlg->ToggleMaximize();
    const RECT back = dlg->GetWindowRect();
    EXPECT_TRUE(EqualRect(&back, &now));
}

TEST_F(SkinnedFrame, CloseAndMinimizeButtonsActLikeTheSystemCommands) {
    auto dlg = OpenMain();
    dlg->MinimizeButton().SendMessage(BM_CLICK);
    EXPECT_TRUE(wintest::PumpUntil([&] { return IsIconic(dlg->m_hWnd) != FALSE; }, 3000));
    ShowWindow(dlg->m_hWnd, SW_SHOWNOACTIVATE);
    dlg->CloseButton().SendMessage(BM_CLICK);
    EXPECT_TRUE(wintest::PumpUntil([&] { return !dlg->IsWindow(); }, 3000)) << "closed as by Alt+F4";
}

TEST_F(SkinnedFrame, PaintsTheNineSliceSkinTitleAndIconRelativeToTheDcOrigin) {
    auto dlg = OpenMain();
    const Image skin = SkinPixels(IDB_MAIN_BACK);
    const Image shown = ErasedInto(*dlg, 720, 420);
    EXPECT_EQ(shown.At(400, 15), skin.At(15, 15)) << "caption band, stretched sideways";
    EXPECT_EQ(shown.At(400, 29), skin.At(15, 29)) << "the band's bottom line";
    EXPECT_EQ(shown.At(400, 300), skin.At(15, 40)) << "body";
    EXPECT_EQ(shown.At(1, 300), skin.At(1, 40)) << "left edge";
    EXPECT_EQ(shown.At(718, 418), skin.At(28, 49)) << "bottom-right corner, 1:1";
    EXPECT_EQ(shown.At(2, 0), skin.At(2, 0));
    // Icon at (4, 7) and the title right of it in white.
    int titlePixels = 0, iconPixels = 0;
    for (int y = 4; y < 26; ++y) {
        for (int x = 4; x < 20; ++x)
            iconPixels += shown.At(x, y) != skin.At(15, y);
        for (int x = 25; x < 120; ++x) {
            const uint32_t p = shown.At(x, y);
            titlePixels += ((p >> 16) & 0xFF) > 200 && ((p >> 8) & 0xFF) > 200 && (p & 0xFF) > 200;
        }
    }
    EXPECT_GT(iconPixels, 40);
    EXPECT_GT(titlePixels, 20);
    // A child's request: the same picture, shifted by the origin of its DC.
    const Image part = ErasedInto(*dlg, 100, 40, 600, 0);
    for (int x = 0; x < 100; x += 7) {
        for (int y = 0; y < 40; y += 5)
            EXPECT_EQ(part.At(x, y), shown.At(600 + x, y)) << x << "," << y;
    }
    // On screen, too.
    RedrawWindow(dlg->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    const RECT wr = dlg->GetWindowRect();
    const uint32_t expected = skin.At(15, 40);
    const COLORREF body = RGB((expected >> 16) & 0xFF, (expected >> 8) & 0xFF, expected & 0xFF);
    EXPECT_EQ(wintest::WaitForScreenPixel({wr.left + 400, wr.top + 300}, body), body);
}

TEST_F(SkinnedFrame, ErasesCopyTheFrameAsFreshlyPaintedAfterAResizeAndANewTitle) {
    auto dlg = OpenMain();
    ErasedInto(*dlg, 720, 420); // the frame as the first size and title showed it
    // Every pixel that an erase into a w x h DC with origin (ox, oy) shows differently from a
    // fresh paint of the whole frame.
    const auto differing = [&](int w, int h, int ox, int oy) {
        HDC screen = GetDC(nullptr);
        base::MemoryDC dc(CreateCompatibleDC(screen));
        base::Bitmap surface(CreateCompatibleBitmap(screen, 800, 500));
        ReleaseDC(nullptr, screen);
        {
            base::SelectedObject keep(dc.Get(), surface.Get());
            dlg->RenderFrame(dc.Get(), 800, 500);
        }
        const Image fresh = ReadBitmap(surface.Get(), 800, 500), shown = ErasedInto(*dlg, w, h, ox, oy);
        int n = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                n += shown.At(x, y) != fresh.At(ox + x, oy + y);
        return n;
    };
    SetWindowPos(dlg->m_hWnd, nullptr, 0, 0, 800, 500, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(differing(800, 500, 0, 0), 0) << "the whole window after a resize";
    EXPECT_EQ(differing(60, 60, 740, 440), 0) << "a child's piece in the bottom-right corner";
    dlg->SetTitle(L"另一个标题");
    EXPECT_EQ(differing(200, 40, 30, 0), 0) << "a child's piece under the new title";
}

TEST_F(SkinnedFrame, OneToOneSkinIsCopiedAsItIs) {
    auto dlg = OpenPrompt();
    const Image skin = SkinPixels(IDB_ADDACC_BACK);
    const Image shown = ErasedInto(*dlg, 284, 150);
    for (const auto& [x, y] : {std::pair{150, 100}, {2, 100}, {282, 148}, {281, 20}, {200, 29}, {40, 140}}) {
        EXPECT_EQ(shown.At(x, y), skin.At(x, y)) << x << "," << y;
    }
}
