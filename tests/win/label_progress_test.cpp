// The self-drawn label and the two-image progress bar in real windows: what reaches the
// screen (pixels read back), the label's growth and font.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/handle_win.h"
#include "resource.h"
#include "ui/label_layout.h"
#include "ui/skin_image_win.h"
#include "ui/skin_label_win.h"
#include "ui/skin_progress_win.h"
#include "ui/skinned_dialog_win.h"
#include "win_test_support.h"

namespace {

constexpr COLORREF kHostColor = RGB(255, 255, 255);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

// A plain parent that paints one colour as its "skin" (honouring the DC's origin, as the
// controls shift it) and hands out a dialog-like font.
class SolidHost : public CWnd {
public:
    SolidHost() : m_font(::CreateFontW(-15, 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma")) {
        CreateEx(0, nullptr, L"host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40, 500, 300, nullptr,
                 nullptr);
    }
    ~SolidHost() override { DestroyWindow(); }
    base::Font m_font;
    int m_erases = 0;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_ERASEBKGND) {
            ++m_erases;
            const RECT rc = GetWindowRect();
            RECT all{0, 0, rc.right - rc.left, rc.bottom - rc.top};
            base::Brush brush(::CreateSolidBrush(kHostColor));
            ::FillRect(reinterpret_cast<HDC>(wParam), &all, brush.Get());
            return TRUE;
        }
        if (msg == WM_GETFONT) return reinterpret_cast<LRESULT>(m_font.Get());
        return CWnd::WindowProc(msg, wParam, lParam);
    }
};

// A 32-bit bitmap filled by a function of (x, y).
template <class F> HBITMAP MakeBitmap(int w, int h, F color) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bmp = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* px = static_cast<DWORD*>(bits);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const COLORREF c = color(x, y);
            px[y * w + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    return bmp;
}

COLORREF PixelOf(HWND hwnd, int x, int y) {
    base::WindowDC dc(hwnd);
    return ::GetPixel(dc.Get(), x, y);
}

void Repaint(HWND hwnd) {
    // Painted before this returns; what the painting posted is handled too.
    ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    wintest::PumpPending();
}

int HeightOf(HWND hwnd) {
    RECT rc{};
    ::GetWindowRect(hwnd, &rc);
    return rc.bottom - rc.top;
}

// Fill column c has a colour of its own, so a pixel tells which image column was copied there.
COLORREF FillColumnColor(int c) {
    return RGB(c & 0xFF, 60 + (c >> 8) * 100, 90);
}
constexpr COLORREF kTrackColor = RGB(30, 30, 30);

} // namespace

TEST(ImgProgress, FillShowsBothEndsOnScreen) {
    SolidHost host;
    ui::SkinProgress bar;
    ASSERT_TRUE(
        bar.CreateControl(PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, {10, 10, 50, 20}, host.m_hWnd, 100));
    // Track with magenta (transparent) columns at both ends; fill with one colour per column.
    bar.SetImages(MakeBitmap(390, 21, [](int x, int) { return x < 2 || x >= 388 ? kMagenta : kTrackColor; }),
                  MakeBitmap(390, 21, [](int x, int) { return FillColumnColor(x); }));
    EXPECT_EQ(bar.GetWindowRect().right - bar.GetWindowRect().left, 390); // sized to the track
    EXPECT_EQ(HeightOf(bar.m_hWnd), 21);

    struct Probe {
        int x;
        COLORREF color;
    };
    struct Case {
        int pos;
        std::vector<Probe> probes;
    } cases[] = {
        {0, {{0, kHostColor}, {1, kHostColor}, {2, kTrackColor}, {200, kTrackColor}, {389, kHostColor}}},
        {1,
         {{0, FillColumnColor(0)}, {1, FillColumnColor(388)}, {2, FillColumnColor(389)}, {3, kTrackColor}}},
        {37,
         {{0, FillColumnColor(0)},
          {71, FillColumnColor(71)},
          {72, FillColumnColor(318)},
          {143, FillColumnColor(389)},
          {144, kTrackColor}}},
        {100,
         {{0, FillColumnColor(0)},
          {194, FillColumnColor(194)},
          {195, FillColumnColor(195)},
          {389, FillColumnColor(389)}}},
    };
    for (const auto& c : cases) {
        bar.SetPos(c.pos);
        Repaint(bar.m_hWnd);
        for (const auto& p : c.probes)
            EXPECT_EQ(PixelOf(bar.m_hWnd, p.x, 10), p.color) << "pos " << c.pos << " x " << p.x;
    }
}

TEST(ImgProgress, WithoutImagesShowsOnlyTheParent) {
    SolidHost host;
    ui::SkinProgress bar;
    ASSERT_TRUE(
        bar.CreateControl(PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, {10, 10, 110, 30}, host.m_hWnd, 100));
    bar.SetPos(50);
    Repaint(bar.m_hWnd);
    EXPECT_EQ(PixelOf(bar.m_hWnd, 5, 5), kHostColor);
    EXPECT_EQ(PixelOf(bar.m_hWnd, 80, 15), kHostColor);
}

TEST(StaticEx, FontIsTheDialogFontInTheProgramFaceCreatedOnce) {
    SolidHost host;
    ui::SkinLabel label;
    ASSERT_TRUE(
        label.CreateControl(L"STATIC", L"abc", WS_CHILD | WS_VISIBLE, {10, 10, 200, 40}, host.m_hWnd, 101));
    EXPECT_EQ(label.Text(), L"abc"); // taken from the window text when attached
    ui::LabelStyle style;
    style.fontWeight = 700;
    label.SetStyle(style);
    const HFONT font = label.GetLabelFont();
    LOGFONTW lf{};
    ASSERT_TRUE(::GetObjectW(font, sizeof(lf), &lf));
    EXPECT_STREQ(lf.lfFaceName, L"微软雅黑");
    EXPECT_EQ(lf.lfHeight, -15); // the dialog's height kept
    EXPECT_EQ(lf.lfWeight, 700);
    style.fontHeight = -30; // later changes do not touch the created font
    label.SetStyle(style);
    EXPECT_EQ(label.GetLabelFont(), font);
}

TEST(StaticEx, WrappingLabelGrowsToHoldItsLines) {
    SolidHost host;
    struct Case {
        const wchar_t* text;
        int width, height, spacing;
        size_t minLines;
    } cases[] = {
        {L"测试用汉字来获取宽度，一行放不下的文字会折到下一行", 120, 10, 3, 3},
        {L"第一行\r\n第二行", 200, 5, 5, 2},
        {L"短", 200, 4, 3, 1}, // one line in a label lower than the line height
    };
    for (const auto& c : cases) {
        ui::SkinLabel label;
        ASSERT_TRUE(label.CreateControl(L"STATIC", c.text, WS_CHILD | WS_VISIBLE,
                                        {10, 10, 10 + c.width, 10 + c.height}, host.m_hWnd, 102));
        ui::LabelStyle style;
        style.lineSpacing = c.spacing;
        label.SetStyle(style);
        Repaint(host.m_hWnd);

        // What the label should have laid out, measured with its own font.
        base::WindowDC dc(label.m_hWnd);
        base::SelectedObject font(dc.Get(), label.GetLabelFont());
        SIZE probe{};
        ::GetTextExtentPoint32W(dc.Get(), ui::kLabelProbeText, ui::kLabelProbeLength, &probe);
        const auto layout = ui::WrapLabelText(
            c.text, {0, 0, c.width, c.height}, probe.cy, probe.cx / ui::kLabelProbeLength, c.spacing,
            [&](std::wstring_view s) {
                SIZE size{};
                ::GetTextExtentPoint32W(dc.Get(), s.data(), static_cast<int>(s.size()), &size);
                return static_cast<int>(size.cx);
            });
        EXPECT_GE(layout.lines.size(), c.minLines) << c.text;
        EXPECT_EQ(HeightOf(label.m_hWnd), std::max(c.height, layout.neededHeight)) << c.text;
        label.DestroyWindow();
    }
}

TEST(StaticEx, HoverColourAndHandCursor) {
    SolidHost host;
    ui::SkinLabel label;
    ASSERT_TRUE(label.CreateControl(L"STATIC", L"登录其他账号", WS_CHILD | WS_VISIBLE | SS_NOTIFY,
                                    {10, 10, 200, 40}, host.m_hWnd, 103));
    ui::LabelStyle style;
    style.fontHeight = -20;
    style.hoverColourOn = true;
    style.hoverColour = RGB(255, 0, 0);
    style.handCursor = true;
    label.SetStyle(style);
    auto redPixels = [&] {
        int n = 0;
        base::WindowDC dc(label.m_hWnd);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 190; ++x) {
                const COLORREF c = ::GetPixel(dc.Get(), x, y);
                if (GetRValue(c) > 200 && GetGValue(c) < 80 && GetBValue(c) < 80) ++n;
            }
        return n;
    };
    Repaint(label.m_hWnd);
    EXPECT_EQ(redPixels(), 0);
    ::SendMessageW(label.m_hWnd, WM_MOUSEHOVER, 0, 0);
    ::UpdateWindow(label.m_hWnd);
    EXPECT_GT(redPixels(), 0);
    ::SendMessageW(label.m_hWnd, WM_MOUSELEAVE, 0, 0);
    ::UpdateWindow(label.m_hWnd);
    EXPECT_EQ(redPixels(), 0);

    EXPECT_TRUE(::SendMessageW(label.m_hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(label.m_hWnd),
                               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
}

TEST(StaticEx, ImageLeftOfTheTextWithMagentaTransparent) {
    SolidHost host;
    ui::SkinLabel label;
    ASSERT_TRUE(
        label.CreateControl(L"STATIC", L"", WS_CHILD | WS_VISIBLE, {10, 10, 200, 40}, host.m_hWnd, 104));
    const COLORREF green = RGB(0, 160, 0);
    base::Bitmap image(MakeBitmap(14, 16, [&](int x, int y) { return x == 0 && y == 0 ? kMagenta : green; }));
    ASSERT_TRUE(label.SetImage(image.Get()));
    {
        // The caller's bitmap keeps its magenta: the label masked a copy.
        base::MemoryDC dc(::CreateCompatibleDC(nullptr));
        base::SelectedObject selected(dc.Get(), image.Get());
        EXPECT_EQ(::GetPixel(dc.Get(), 0, 0), kMagenta);
    }
    EXPECT_FALSE(label.SetImage(nullptr)); // refused; the image is kept
    EXPECT_EQ(label.ImageSize().cx, 14);
    Repaint(label.m_hWnd);
    // 30 px high: image at (3, 7) to (17, 23).
    EXPECT_EQ(PixelOf(label.m_hWnd, 3, 7), kHostColor); // the magenta corner
    EXPECT_EQ(PixelOf(label.m_hWnd, 4, 7), green);
    EXPECT_EQ(PixelOf(label.m_hWnd, 16, 22), green);
    EXPECT_EQ(PixelOf(label.m_hWnd, 2, 15), kHostColor);
    EXPECT_EQ(PixelOf(label.m_hWnd, 17, 15), kHostColor);
    EXPECT_EQ(PixelOf(label.m_hWnd, 10, 6), kHostColor);
}
