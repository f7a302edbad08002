// SkinButton: frames by state, the pressed latch, the parent's skin under transparent pixels,
// scaled frames, text colours, hover tracking, tooltip and the caption-button helper.
#include "ui/skin_button_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <memory>
#include <vector>

#include "win_test_support.h"

namespace {

constexpr COLORREF kParentSkin = RGB(0, 160, 0);
constexpr COLORREF kFrames[4] = {RGB(200, 0, 0), RGB(0, 0, 200), RGB(200, 200, 0), RGB(230, 230, 230)};
constexpr COLORREF kMagenta = RGB(255, 0, 255);

// A parent that paints a flat skin and records the commands it gets.
class SkinParent : public CWnd {
public:
    std::vector<WPARAM> commands;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_ERASEBKGND) {
            base::Brush brush(CreateSolidBrush(kParentSkin));
            const RECT rc = GetClientRect();
            FillRect(reinterpret_cast<HDC>(wParam), &rc, brush.Get());
            return TRUE;
        }
        if (msg == WM_COMMAND) commands.push_back(wParam);
        return CWnd::WindowProc(msg, wParam, lParam);
    }
};

// A strip of four solid frames of w x h, each with a 3 x 3 magenta square in its top-left
// corner; extra columns beyond 4 * w are white.
base::Bitmap MakeStrip(int w, int h, int extra = 0) {
    const int total = 4 * w + extra;
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), total, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    base::Bitmap bmp(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    auto* px = static_cast<uint32_t*>(bits);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < total; ++x) {
            const int frame = x / w, fx = x % w;
            COLORREF c = frame < 4 ? kFrames[frame] : RGB(255, 255, 255);
            if (frame < 4 && fx < 3 && y < 3) c = kMagenta;
            px[y * total + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    }
    GdiFlush();
    return bmp;
}

struct Face {
    int w = 0, h = 0;
    std::vector<uint32_t> px;
    COLORREF At(int x, int y) const {
        const uint32_t p = px[static_cast<size_t>(y) * w + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    int Count(COLORREF c) const {
        int n = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                n += At(x, y) == c;
        return n;
    }
};

// Calls DrawItem as the parent's WM_DRAWITEM would, on a memory DC, and reads the face.
Face DrawFace(ui::SkinButton& button, UINT state) {
    Face face;
    face.w = button.FaceSize().cx;
    face.h = button.FaceSize().cy;
    HDC screen = GetDC(nullptr);
    base::MemoryDC dc(CreateCompatibleDC(screen));
    base::Bitmap surface(CreateCompatibleBitmap(screen, face.w, face.h));
    ReleaseDC(nullptr, screen);
    {
        base::SelectedObject keep(dc.Get(), surface.Get());
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_BUTTON;
        dis.CtlID = static_cast<UINT>(GetDlgCtrlID(button.m_hWnd));
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = state;
        dis.hwndItem = button.m_hWnd;
        dis.hDC = dc.Get();
        dis.rcItem = button.GetClientRect();
        button.DrawItem(&dis);
    }
    face.px.resize(static_cast<size_t>(face.w) * face.h);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), face.w, -face.h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen2 = GetDC(nullptr);
    GetDIBits(screen2, surface.Get(), 0, face.h, face.px.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen2);
    return face;
}

class ImageButton : public testing::Test {
protected:
    // One parent for the suite, shown without activation: hiding or destroying a top-level
    // window costs Wine seconds on this display.
    static void SetUpTestSuite() {
        parent = new SkinParent;
        parent->CreateEx(0, nullptr, L"skin parent", WS_POPUP, 200, 200, 300, 120, nullptr, nullptr);
        parent->ShowWindow(SW_SHOWNOACTIVATE);
    }
    static void TearDownTestSuite() {
        delete parent;
        parent = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(parent->IsWindow());
        parent->commands.clear();
        strip = MakeStrip(60, 24);
        ASSERT_TRUE(button.Create(L"", WS_CHILD | WS_VISIBLE, RECT{10, 10, 20, 20}, parent->m_hWnd, 77));
        ASSERT_TRUE(button.SetImage(strip.Get(), TRUE));
    }
    void TearDown() override { button.DestroyWindow(); }

    static SkinParent* parent;
    ui::SkinButton button;
    base::Bitmap strip;
};

SkinParent* ImageButton::parent = nullptr;

} // namespace

TEST_F(ImageButton, EachStateShowsItsFrameOverTheParentsSkin) {
    EXPECT_EQ(button.FaceSize().cx, 60);
    EXPECT_EQ(button.FaceSize().cy, 24);
    struct Case {
        UINT state;
        BOOL hover;
        COLORREF frame;
    } cases[] = {
        {0, FALSE, kFrames[0]},
        {0, TRUE, kFrames[1]},
        {ODS_DISABLED, TRUE, kFrames[3]},
        {ODS_GRAYED, FALSE, kFrames[3]},
        {ODS_DISABLED | ODS_SELECTED, FALSE, kFrames[3]},
        {ODS_SELECTED, FALSE, kFrames[2]},
    };
    for (const auto& c : cases) {
        button.SendMessage(c.hover ? WM_MOUSEHOVER : WM_MOUSELEAVE);
        const Face face = DrawFace(button, c.state);
        EXPECT_EQ(face.At(30, 12), c.frame) << c.state << "/" << c.hover;
        EXPECT_EQ(face.At(1, 1), kParentSkin) << "the magenta corner lets the skin show";
        EXPECT_EQ(face.At(3, 3), c.frame);
    }
}

TEST_F(ImageButton, PressedLookStaysUntilTheButtonIsReleased) {
    EXPECT_EQ(DrawFace(button, ODS_SELECTED).At(30, 12), kFrames[2]);
    EXPECT_TRUE(button.IsPressed());
    // Dragged off while held: no longer selected, still pressed.
    EXPECT_EQ(DrawFace(button, 0).At(30, 12), kFrames[2]);
    button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(200, 200));
    EXPECT_FALSE(button.IsPressed());
    EXPECT_EQ(DrawFace(button, 0).At(30, 12), kFrames[0]);
}

TEST_F(ImageButton, AButtonOfAnotherSizeShowsItsFrameScaledWithTransparencyKept) {
    SetWindowPos(button.m_hWnd, nullptr, 0, 0, 120, 48, SWP_NOMOVE | SWP_NOZORDER);
    button.SetImage(strip.Get(), FALSE); // re-reads the drawing size
    const Face face = DrawFace(button, 0);
    ASSERT_EQ(face.w, 120);
    EXPECT_EQ(face.At(4, 4), kParentSkin); // the 3 x 3 corner doubled
    EXPECT_EQ(face.At(7, 7), kFrames[0]);
    EXPECT_EQ(face.At(100, 40), kFrames[0]);
}

TEST_F(ImageButton, AStripWiderThanFourFramesNeverShowsItsLastColumns) {
    base::Bitmap odd = MakeStrip(20, 10, 2); // 82 wide: frames of 20, two white columns left over
    ASSERT_TRUE(button.SetImage(odd.Get(), TRUE));
    int w = 0, h = 0;
    ImageList_GetIconSize(button.Frames(), &w, &h);
    EXPECT_EQ(w, 20);
    EXPECT_EQ(h, 10);
    EXPECT_EQ(ImageList_GetImageCount(button.Frames()), 4);
    const Face face = DrawFace(button, ODS_DISABLED);
    EXPECT_EQ(face.At(19, 5), kFrames[3]);
    EXPECT_EQ(face.Count(RGB(255, 255, 255)), 0);
    // A strip the button cannot use leaves it as it was.
    EXPECT_FALSE(button.SetImage(nullptr, TRUE));
    EXPECT_EQ(ImageList_GetImageCount(button.Frames()), 4);
}

TEST_F(ImageButton, TextIsDrawnInItsColourAndGreyWhenDisabled) {
    base::Font font(CreateFontW(-18, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY,
                                0, L"Tahoma"));
    button.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
    button.SetText(L"MMM");
    button.SetTextColour(RGB(1, 2, 3));
    const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
    const Face normal = DrawFace(button, 0);
    EXPECT_GT(normal.Count(RGB(1, 2, 3)), 20);
    EXPECT_EQ(normal.Count(grey), 0);
    const Face disabled = DrawFace(button, ODS_DISABLED);
    EXPECT_GT(disabled.Count(grey), 20);
    EXPECT_EQ(disabled.Count(RGB(1, 2, 3)), 0);
    // Centred: as much text left of the middle as right of it, give or take a column.
    int left = 0, right = 0;
    for (int y = 0; y < normal.h; ++y) {
        for (int x = 0; x < normal.w; ++x) {
            if (normal.At(x, y) == RGB(1, 2, 3)) (x < normal.w / 2 ? left : right)++;
        }
    }
    EXPECT_NEAR(left, right, normal.h);
    button.SendMessage(WM_SETFONT, 0, FALSE);
}

TEST_F(ImageButton, HoverIsTrackedWhileTheMouseStaysOnTheButton) {
    const RECT rc = button.GetWindowRect();
    SetCursorPos(rc.left + 20, rc.top + 10);
    ASSERT_TRUE(wintest::PumpUntil([&] { return button.IsHovered(); }, 3000)) << "no hover after 3 s";
    EXPECT_TRUE(button.IsTracking());
    SetCursorPos(rc.left - 100, rc.top - 100);
    ASSERT_TRUE(wintest::PumpUntil([&] { return !button.IsHovered() && !button.IsTracking(); }, 3000));
}

TEST_F(ImageButton, ToolTipIsMadeOnceAndGetsTheTextWhenHovered) {
    button.SetToolTip(L"关闭");
    const HWND tip = button.ToolTipWindow();
    ASSERT_TRUE(IsWindow(tip));
    wchar_t cls[64] = {};
    GetClassNameW(tip, cls, 64);
    EXPECT_STREQ(cls, TOOLTIPS_CLASSW);
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageW(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 660);

    button.SetToolTip(L"最大化");
    EXPECT_EQ(button.ToolTipWindow(), tip);
    button.SendMessage(WM_MOUSEHOVER);
    wchar_t text[64] = {};
    TOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.hwnd = button.m_hWnd;
    ti.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(text, L"最大化");

    button.DestroyWindow();
    EXPECT_FALSE(IsWindow(tip)) << "the tooltip goes with its button";
}

TEST_F(ImageButton, CaptionButtonStandsLeftOfItsRightEdgeAndSendsItsCommand) {
    ui::SkinButton caption;
    base::Bitmap small = MakeStrip(20, 10);
    ASSERT_TRUE(caption.CreateCaptionButton(200, 3, 50000, parent->m_hWnd, small.Get()));
    RECT rc = caption.GetWindowRect();
    MapWindowPoints(nullptr, parent->m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
    EXPECT_EQ(rc.left, 180);
    EXPECT_EQ(rc.top, 3);
    EXPECT_EQ(rc.right, 200);
    EXPECT_EQ(rc.bottom, 13);
    EXPECT_TRUE(caption.Text().empty());

    caption.SendMessage(BM_CLICK);
    wintest::PumpPending();
    ASSERT_FALSE(parent->commands.empty());
    EXPECT_EQ(parent->commands.back(), MAKEWPARAM(50000, BN_CLICKED));

    // Two quick clicks (the second arrives as a double click) are two presses of the button.
    parent->commands.clear();
    for (UINT down : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}) {
        caption.SendMessage(down, MK_LBUTTON, MAKELPARAM(5, 5));
        caption.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    }
    wintest::PumpPending();
    EXPECT_EQ(parent->commands, (std::vector<WPARAM>(2, MAKEWPARAM(50000, BN_CLICKED))));
}

TEST_F(ImageButton, AttachingTakesTheTextAndMakesTheButtonOwnerDrawn) {
    HWND plain =
        CreateWindowExW(0, L"BUTTON", L"确定", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 100, 40, 57, 23,
                        parent->m_hWnd, reinterpret_cast<HMENU>(1), GetModuleHandleW(nullptr), nullptr);
    ui::SkinButton bound;
    ASSERT_TRUE(bound.SubclassWindow(plain));
    EXPECT_EQ(bound.Text(), L"确定");
    EXPECT_EQ(bound.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
    const RECT wr = bound.GetWindowRect();
    EXPECT_EQ(bound.FaceSize().cx, wr.right - wr.left);
    EXPECT_EQ(bound.FaceSize().cy, wr.bottom - wr.top);
    // Painting goes through DrawItem: the parent's skin shows where the button has no image.
    UpdateWindow(parent->m_hWnd);
    RedrawWindow(plain, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(wintest::WaitForScreenPixel({wr.left + 3, wr.top + 3}, kParentSkin), kParentSkin);
}
