// The skinned dialog frame.
#include "ui/skinned_dialog_win.h"

#include <windowsx.h>

#include <cstdlib>
#include <cwchar>
#include <vector>

#include "base/geometry_win.h"
#include "ui/skin_image_win.h"

namespace ui {

namespace {

constexpr COLORREF kMagentaPixel = 0x00FF00FF; // as read from a 32-bit DIB: R, G, B in the low three bytes

RECT WorkArea() {
    RECT wa{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
    return wa;
}

int Width(const RECT& r) {
    return r.right - r.left;
}

int Height(const RECT& r) {
    return r.bottom - r.top;
}

int ButtonWidth(const SkinButton& button) {
    return button.m_hWnd ? Width(button.GetWindowRect()) : 0;
}

POINT PointFrom(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

SkinResources& SkinIds() {
    static SkinResources ids;
    return ids;
}

} // namespace

void SetSkinResources(const SkinResources& ids) {
    SkinIds() = ids;
}

const SkinResources& GetSkinResources() {
    return SkinIds();
}

// The portable hit codes are WM_NCHITTEST's own.
static_assert(kHitCaption == HTCAPTION && kHitLeft == HTLEFT && kHitRight == HTRIGHT && kHitTop == HTTOP &&
              kHitTopLeft == HTTOPLEFT && kHitTopRight == HTTOPRIGHT && kHitBottom == HTBOTTOM &&
              kHitBottomLeft == HTBOTTOMLEFT && kHitBottomRight == HTBOTTOMRIGHT);

SkinnedDialog::SkinnedDialog(UINT templateId, HWND parent) : CDialog(templateId, parent) {
}

SkinnedDialog::SkinnedDialog(const DLGTEMPLATE* dialogTemplate, HWND parent)
    : CDialog(dialogTemplate, parent) {
}

SkinnedDialog::~SkinnedDialog() {
    // Gone while this object is still whole, so that its own handlers see the last messages.
    if (IsWindow()) DestroyWindow();
}

BOOL SkinnedDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    // WS_MINIMIZEBOX lets the taskbar minimize the borderless window.
    ModifyStyle(WS_CAPTION | DS_MODALFRAME, WS_MINIMIZEBOX);
    ModifyStyleEx(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE, 0);
    // Without this the template's frame would stay until the first resize.
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT wa = WorkArea();
    m_maxWidth = Width(wa);
    m_maxHeight = Height(wa);
    const base::Rect restore = InitialRestoreRect(base::FromRECT(wa));
    m_restoreRect = base::ToRECT(restore);
    return TRUE;
}

bool SkinnedDialog::HasSmallIcon() const {
    return SendMessage(WM_GETICON, ICON_SMALL, 0) != 0;
}

base::Font SkinnedDialog::CreateTitleFont(int* fontHeight) const {
    HFONT dialogFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    LOGFONTW lf{};
    ::GetObjectW(dialogFont ? static_cast<HGDIOBJ>(dialogFont) : ::GetStockObject(DEFAULT_GUI_FONT),
                 sizeof(lf), &lf);
    *fontHeight = std::abs(lf.lfHeight);
    lf.lfWeight = m_style.titleWeight;
    wcscpy_s(lf.lfFaceName, L"微软雅黑");
    return base::Font(::CreateFontIndirectW(&lf));
}

void SkinnedDialog::SetTitle(const wchar_t* text) {
    SetWindowText(text);
    HFONT dialogFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    LOGFONTW lf{};
    ::GetObjectW(dialogFont ? static_cast<HGDIOBJ>(dialogFont) : ::GetStockObject(DEFAULT_GUI_FONT),
                 sizeof(lf), &lf);
    const base::Point at = TitleOrigin(Layout(), std::abs(lf.lfHeight), HasSmallIcon());

    SIZE extent{};
    base::WindowDC dc(m_hWnd);
    if (dc) {
        base::SelectedObject keep(dc.Get(), dialogFont);
        const std::wstring title = text ? text : L"";
        ::GetTextExtentPoint32W(dc.Get(), title.c_str(), static_cast<int>(title.size()), &extent);
        if (extent.cy == 0) {
            TEXTMETRICW tm{};
            ::GetTextMetricsW(dc.Get(), &tm);
            extent.cy = tm.tmHeight;
        }
    }
    const RECT client = GetClientRect();
    const RECT strip{at.x, at.y, client.right, at.y + extent.cy};
    ::InvalidateRect(m_hWnd, &strip, TRUE);
}

BOOL SkinnedDialog::SetPopupSkin() {
    SetStyle(kPopupFrame);
    const HINSTANCE self = ::GetModuleHandleW(nullptr);
    const SkinResources& ids = GetSkinResources();
    return SetSkin({.background = base::Bitmap(LoadSkinImage(self, ids.dialogBackground)),
                    .close = base::Bitmap(LoadSkinImage(self, ids.closeButton))},
                   {.stretch = true});
}

BOOL SkinnedDialog::SetSkin(SkinImages images, const SkinOptions& options) {
    m_background = std::move(images.background);
    m_stretch = options.stretch;
    m_frameCache.Reset();

    int layoutWidth = Width(GetClientRect());
    if (options.sizeToBackground) {
        const SIZE size = BitmapSize(m_background.Get());
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        layoutWidth = size.cx;
    }
    UpdateRegion();

    auto recreate = [this](SkinButton& button, int right, UINT id, HBITMAP strip, const wchar_t* tip) {
        if (button.m_hWnd) button.DestroyWindow();
        button.CreateCaptionButton(right, m_style.buttonTop, id, m_hWnd, strip);
        button.SetToolTip(tip);
    };
    const int right = layoutWidth - m_style.buttonRight;
    if (images.close) {
        recreate(m_closeButton, right, kIdClose, images.close.Get(), L"关闭");
    }
    CaptionButtons widths{ButtonWidth(m_closeButton), 0, 0};
    widths.maximize = images.maximize ? BitmapSize(images.maximize.Get()).cx / kButtonFrames : 0;
    widths.minimize = images.minimize ? BitmapSize(images.minimize.Get()).cx / kButtonFrames : 0;
    const CaptionButtons lefts = SkinButtonLefts(layoutWidth, m_style.buttonRight, m_style.buttonGap, widths);
    if (images.maximize) {
        recreate(m_maximizeButton, lefts.maximize + widths.maximize, kIdMaximize, images.maximize.Get(),
                 L"最大化");
        m_maximizeImage = std::move(images.maximize);
        m_restoreImage = std::move(images.restore);
    }
    if (images.minimize) {
        recreate(m_minimizeButton, lefts.minimize + widths.minimize, kIdMinimize, images.minimize.Get(),
                 L"最小化");
    }
    return TRUE;
}

void SkinnedDialog::RedrawCaptionButtons() {
    for (SkinButton* button : {&m_closeButton, &m_maximizeButton, &m_minimizeButton}) {
        if (button->m_hWnd) ::InvalidateRect(button->m_hWnd, nullptr, TRUE);
    }
}

void SkinnedDialog::UpdateRegion() {
    if (!m_background) return;
    const RECT wr = GetWindowRect();
    const int w = Width(wr), h = Height(wr);
    const SIZE image = BitmapSize(m_background.Get());
    if (image.cx <= 0 || image.cy <= 0) return;

    // The skin's pixels, top row first.
    std::vector<uint32_t> pixels(static_cast<size_t>(image.cx) * image.cy);
    BITMAPINFO bi = Dib32Info(image.cx, -image.cy);
    HDC screen = ::GetDC(nullptr);
    const int rows = ::GetDIBits(screen, m_background.Get(), 0, image.cy, pixels.data(), &bi, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    if (rows != image.cy) return;

    base::Region shape(::CreateRectRgn(0, 0, w, h));
    if (!shape) return;
    const auto isKey = [&](int x, int y) {
        return (pixels[static_cast<size_t>(y) * image.cx + x] & 0x00FFFFFF) == kMagentaPixel;
    };
    for (const base::Point& p : CornerHoles(image.cx, image.cy, w, h, isKey)) {
        base::Region hole(::CreateRectRgn(p.x, p.y, p.x + 1, p.y + 1));
        ::CombineRgn(shape.Get(), shape.Get(), hole.Get(), RGN_DIFF);
    }
    // The window owns the region from here on.
    if (::SetWindowRgn(m_hWnd, shape.Get(), FALSE)) shape.Release();
}

void SkinnedDialog::DrawBackground(HDC dc, int w, int h) {
    const SIZE image = BitmapSize(m_background.Get());
    base::MemoryDC src(::CreateCompatibleDC(dc));
    if (!src) return;
    base::SelectedObject keep(src.Get(), m_background.Get());
    const int oldMode = ::SetStretchBltMode(dc, COLORONCOLOR);
    for (const BlitStep& s : NineSliceSteps(image.cx, image.cy, w, h, Layout(), m_stretch)) {
        if (s.stretch) {
            ::StretchBlt(dc, s.dst.x, s.dst.y, s.dst.w, s.dst.h, src.Get(), s.src.x, s.src.y, s.src.w,
                         s.src.h, SRCCOPY);
        } else {
            ::BitBlt(dc, s.dst.x, s.dst.y, s.dst.w, s.dst.h, src.Get(), s.src.x, s.src.y, SRCCOPY);
        }
    }
    ::SetStretchBltMode(dc, oldMode);
}

void SkinnedDialog::RenderFrame(HDC dc, int w, int h) {
    DrawBackground(dc, w, h);
    const FrameLayout layout = Layout();
    HICON icon = reinterpret_cast<HICON>(SendMessage(WM_GETICON, ICON_SMALL, 0));
    const bool drawIcon = icon && m_style.showIcon;
    if (drawIcon) {
        const base::Point at = IconOrigin(layout);
        ::DrawIconEx(dc, at.x, at.y, icon, 16, 16, 0, nullptr, DI_NORMAL);
    }
    if (m_style.showTitle) {
        const std::wstring title = GetWindowText();
        const int saved = ::SaveDC(dc);
        int fontHeight = 0;
        base::Font font = CreateTitleFont(&fontHeight);
        {
            base::SelectedObject keepFont(dc, font.Get());
            ::SetBkMode(dc, TRANSPARENT);
            ::SetTextColor(dc, m_style.titleColour);
            const base::Point at = TitleOrigin(layout, fontHeight, drawIcon);
            ::TextOutW(dc, at.x, at.y, title.c_str(), static_cast<int>(title.size()));
        }
        ::RestoreDC(dc, saved);
    }
}

HBITMAP SkinnedDialog::FrameImage(int w, int h) {
    const FrameKey key{w, h, m_style, m_stretch};
    if (m_frameCache && key == m_frameKey) return m_frameCache.Get();
    m_frameCache.Reset();
    HDC screen = ::GetDC(nullptr);
    base::MemoryDC mem(::CreateCompatibleDC(screen));
    base::Bitmap surface(::CreateCompatibleBitmap(screen, w, h));
    ::ReleaseDC(nullptr, screen);
    if (!mem || !surface) return nullptr;
    {
        base::SelectedObject keep(mem.Get(), surface.Get());
        RenderFrame(mem.Get(), w, h);
    }
    m_frameCache = std::move(surface);
    m_frameKey = key;
    return m_frameCache.Get();
}

BOOL SkinnedDialog::OnEraseBkgnd(HDC dc) {
    if (!m_background) return FALSE;
    const RECT wr = GetWindowRect();
    const int w = Width(wr), h = Height(wr);
    if (w <= 0 || h <= 0) return TRUE;
    // The frame is painted once per size and look; every erase copies only the part that the DC
    // can show, so a child asking for the piece under it costs the child's area, not the window's.
    HBITMAP frame = FrameImage(w, h);
    if (!frame) return FALSE;
    RECT part{0, 0, w, h}, box{};
    const int clip = ::GetClipBox(dc, &box);
    if (clip == NULLREGION) return TRUE;
    if (clip != ERROR && !::IntersectRect(&part, &part, &box)) return TRUE;
    base::MemoryDC src(::CreateCompatibleDC(dc));
    if (!src) return FALSE;
    base::SelectedObject keep(src.Get(), frame);
    ::BitBlt(dc, part.left, part.top, Width(part), Height(part), src.Get(), part.left, part.top, SRCCOPY);
    return TRUE;
}

LRESULT SkinnedDialog::OnNcHitTest(POINT screen) {
    const LPARAM lParam = MAKELPARAM(screen.x, screen.y);
    if (m_maximized) return DefWindowProc(WM_NCHITTEST, 0, lParam);
    POINT p = screen;
    ::ScreenToClient(m_hWnd, &p);
    const RECT wr = GetWindowRect();
    const int hit = FrameHitTest(Layout(), false, p.x, p.y, Width(wr), Height(wr));
    return hit == kHitDefault ? DefWindowProc(WM_NCHITTEST, 0, lParam) : hit;
}

void SkinnedDialog::OnNcLButtonDown(UINT hit, POINT screen) {
    const LPARAM lParam = MAKELPARAM(screen.x, screen.y);
    if (const unsigned command = SizeCommandForHit(static_cast<int>(hit))) {
        // The platform's sizing loop only serves windows with a sizing frame: lend the
        // style for the loop (WM_NCCALCSIZE keeps the frame itself invisible).
        const bool lent = (GetStyle() & WS_THICKFRAME) == 0;
        if (lent) ModifyStyle(0, WS_THICKFRAME);
        SendMessage(WM_SYSCOMMAND, command, lParam);
        if (lent && IsWindow()) ModifyStyle(WS_THICKFRAME, 0);
    } else {
        DefWindowProc(WM_NCLBUTTONDOWN, hit, lParam);
    }
    if (IsWindow()) m_restoreRect = GetWindowRect();
}

void SkinnedDialog::OnNcLButtonDblClk(UINT hit, POINT screen) {
    if (hit == HTCAPTION && m_style.resizable) {
        ToggleMaximize();
        return;
    }
    DefWindowProc(WM_NCLBUTTONDBLCLK, hit, MAKELPARAM(screen.x, screen.y));
}

void SkinnedDialog::OnLButtonDblClk(UINT flags, POINT client) {
    if (m_maximized && InCaptionBand(client.y, m_style.captionHeight)) ToggleMaximize();
    DefWindowProc(WM_LBUTTONDBLCLK, flags, MAKELPARAM(client.x, client.y));
}

void SkinnedDialog::OnSize(UINT type, int cx, int cy) {
    DefWindowProc(WM_SIZE, type, MAKELPARAM(cx, cy));
    if (!m_background) return;
    UpdateRegion();
    Invalidate(TRUE);
    const CaptionButtons widths{ButtonWidth(m_closeButton), ButtonWidth(m_maximizeButton),
                                ButtonWidth(m_minimizeButton)};
    const CaptionButtons lefts = ResizedButtonLefts(cx, m_style.buttonRight, widths);
    const std::pair<SkinButton*, int> placed[] = {{&m_closeButton, lefts.close},
                                                  {&m_maximizeButton, lefts.maximize},
                                                  {&m_minimizeButton, lefts.minimize}};
    for (const auto& [button, left] : placed) {
        if (!button->m_hWnd) continue;
        RECT r = button->GetWindowRect();
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        ::MoveWindow(button->m_hWnd, left, r.top, Width(r), Height(r), TRUE);
    }
}

void SkinnedDialog::OnCloseButton() {
    PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
}

void SkinnedDialog::OnMinimizeButton() {
    PostMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

LRESULT SkinnedDialog::ToggleMaximize() {
    if (m_maximized) {
        ::MoveWindow(m_hWnd, m_restoreRect.left, m_restoreRect.top, Width(m_restoreRect),
                     Height(m_restoreRect), TRUE);
        UpdateMaximizeButton(false);
    } else {
        const base::Rect r = MaximizedRect(base::FromRECT(WorkArea()), m_maxWidth, m_maxHeight);
        ::MoveWindow(m_hWnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
        UpdateMaximizeButton(true);
    }
    // The window moved under the mouse: the button must not stay lit.
    m_maximizeButton.ForgetHover();
    m_maximized = !m_maximized;
    return 0;
}

void SkinnedDialog::UpdateMaximizeButton(bool maximized) {
    if (!m_maximizeButton.m_hWnd) return;
    m_maximizeButton.SetImage(maximized ? m_restoreImage.Get() : m_maximizeImage.Get(), FALSE);
    m_maximizeButton.SetToolTip(maximized ? L"还原" : L"最大化");
}

LRESULT SkinnedDialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ERASEBKGND:
        return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
    case WM_NCHITTEST:
        return OnNcHitTest(PointFrom(lParam));
    case WM_NCCALCSIZE:
        // No non-client area: the skin covers the whole window, also while a sizing frame
        // is lent for the sizing loop.
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            switch (LOWORD(wParam)) {
            case kIdClose:
                OnCloseButton();
                return 0;
            case kIdMaximize:
                ToggleMaximize();
                return 0;
            case kIdMinimize:
                OnMinimizeButton();
                return 0;
            default:
                break;
            }
        }
        break;
    case WM_NCLBUTTONDOWN:
        OnNcLButtonDown(static_cast<UINT>(wParam), PointFrom(lParam));
        return 0;
    case WM_NCLBUTTONDBLCLK:
        OnNcLButtonDblClk(static_cast<UINT>(wParam), PointFrom(lParam));
        return 0;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(static_cast<UINT>(wParam), PointFrom(lParam));
        return 0;
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_SETTEXT:
    case WM_SETICON:
    case WM_SETFONT:
    case WM_DISPLAYCHANGE:
    case WM_SYSCOLORCHANGE:
        // The cached frame shows the title, icon and font and is in the display's format.
        m_frameCache.Reset();
        break;
    default:
        break;
    }
    return CDialog::WindowProc(msg, wParam, lParam);
}

} // namespace ui
