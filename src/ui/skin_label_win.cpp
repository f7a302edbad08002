#include "ui/skin_label_win.h"

#include <commctrl.h>

#include "base/geometry_win.h"
#include "ui/keyed_pixel.h"
#include "ui/label_layout.h"
#include "ui/skin_image_win.h"

namespace ui {

void PaintParentBackground(HWND control, HDC dc) {
    const HWND parent = ::GetParent(control);
    if (!parent) return;
    RECT self{}, outer{};
    ::GetWindowRect(control, &self);
    ::GetWindowRect(parent, &outer);
    POINT old{};
    ::SetWindowOrgEx(dc, self.left - outer.left, self.top - outer.top, &old);
    ::SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ::SetWindowOrgEx(dc, old.x, old.y, nullptr);
}

namespace {
constexpr UINT kHoverTimeMs = 10;
} // namespace

void SkinLabel::PreSubclassWindow() {
    m_text = GetWindowText();
}

bool SkinLabel::SetImage(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !::GetObjectW(bitmap, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return false;
    base::ImageList list(::ImageList_Create(info.bmWidth, info.bmHeight, ILC_COLOR24 | ILC_MASK, 1, 0));
    if (AddMaskedCopy(list.Get(), bitmap, kKeyColorRef) < 0) return false;
    m_image = std::move(list);
    m_imageWidth = info.bmWidth;
    m_imageHeight = info.bmHeight;
    return true;
}

HFONT SkinLabel::GetLabelFont() {
    if (m_font) return m_font.Get();
    HFONT base = reinterpret_cast<HFONT>(::SendMessageW(::GetParent(m_hWnd), WM_GETFONT, 0, 0));
    if (!base) base = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
    LOGFONTW lf{};
    ::GetObjectW(base, sizeof(lf), &lf);
    if (m_style.fontHeight != 0) lf.lfHeight = m_style.fontHeight;
    if (m_style.fontWeight != -1) lf.lfWeight = m_style.fontWeight;
    if (m_style.fontWidth != 0) lf.lfWidth = m_style.fontWidth;
    if (m_style.underline) lf.lfUnderline = TRUE;
    ::lstrcpynW(lf.lfFaceName, L"微软雅黑", LF_FACESIZE);
    m_font.Reset(::CreateFontIndirectW(&lf));
    return m_font.Get();
}

LRESULT SkinLabel::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return TRUE; // the whole face is drawn by OnPaint
    case WM_SETCURSOR:
        return OnSetCursor();
    case WM_MOUSEMOVE:
        OnMouseMove();
        break;
    case WM_MOUSEHOVER:
        OnMouseHover();
        break;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        break;
    default:
        break;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}

void SkinLabel::OnPaint() {
    PAINTSTRUCT ps{};
    const HDC paint = ::BeginPaint(m_hWnd, &ps);
    const RECT window = GetWindowRect();
    const int w = window.right - window.left, h = window.bottom - window.top;
    if (paint && w > 0 && h > 0) {
        base::MemoryDC mem(::CreateCompatibleDC(paint));
        base::Bitmap bmp(::CreateCompatibleBitmap(paint, w, h));
        if (mem && bmp) {
            base::SelectedObject selected(mem.Get(), bmp.Get());
            const int saved = ::SaveDC(mem.Get());
            PaintParentBackground(m_hWnd, mem.Get());
            ::RestoreDC(mem.Get(), saved);
            if (m_image && ::ImageList_GetImageCount(m_image.Get()) > 0) {
                const auto place = PlaceLabelImage({0, 0, w, h}, m_imageWidth, m_imageHeight);
                ::ImageList_Draw(m_image.Get(), 0, mem.Get(), place.imageX, place.imageY, ILD_TRANSPARENT);
            }
            DrawLabelText(mem.Get());
            ::BitBlt(paint, 0, 0, w, h, mem.Get(), 0, 0, SRCCOPY);
        }
    }
    ::EndPaint(m_hWnd, &ps);
}

void SkinLabel::DrawLabelText(HDC dc) {
    const auto place = PlaceLabelImage(base::FromRECT(GetClientRect()), m_imageWidth, m_imageHeight);
    const UINT flags = LabelDrawFlags(GetStyle());

    const int saved = ::SaveDC(dc);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, (m_style.hoverColourOn && m_hover) ? m_style.hoverColour : m_style.textColour);
    ::SelectObject(dc, GetLabelFont());

    SIZE probe{};
    ::GetTextExtentPoint32W(dc, kLabelProbeText, kLabelProbeLength, &probe);
    const int lineHeight = probe.cy, charWidth = probe.cx / kLabelProbeLength;
    const auto measure = [dc](std::wstring_view s) {
        SIZE size{};
        ::GetTextExtentPoint32W(dc, s.data(), static_cast<int>(s.size()), &size);
        return static_cast<int>(size.cx);
    };
    const auto layout =
        WrapLabelText(m_text, place.textArea, lineHeight, charWidth, m_style.lineSpacing, measure);
    for (const auto& line : layout.lines) {
        RECT r = base::ToRECT(line.rect);
        ::DrawTextW(dc, line.text.c_str(), static_cast<int>(line.text.size()), &r, flags);
    }
    ::RestoreDC(dc, saved);

    // Labels only grow: a label lower than its lines becomes as high as they need.
    const RECT window = GetWindowRect();
    const int height = window.bottom - window.top;
    if (GrownLabelHeight(height, layout.neededHeight) != height) {
        POINT topLeft{window.left, window.top};
        ::ScreenToClient(::GetParent(m_hWnd), &topLeft);
        ::SetWindowPos(m_hWnd, nullptr, topLeft.x, topLeft.y, window.right - window.left, layout.neededHeight,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

BOOL SkinLabel::OnSetCursor() {
    if (m_style.handCursor) ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    return TRUE;
}

void SkinLabel::OnMouseMove() {
    if (m_tracking) return;
    TRACKMOUSEEVENT tme{sizeof(tme), TME_HOVER | TME_LEAVE, m_hWnd, kHoverTimeMs};
    m_tracking = ::TrackMouseEvent(&tme);
}

void SkinLabel::OnMouseHover() {
    m_hover = TRUE;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void SkinLabel::OnMouseLeave() {
    m_hover = FALSE;
    m_tracking = FALSE;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

} // namespace ui
