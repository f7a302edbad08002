#include "ui/skin_progress_win.h"

#include <commctrl.h>

#include "base/geometry_win.h"
#include "ui/keyed_pixel.h"
#include "ui/progress_fill.h"
#include "ui/skin_image_win.h"
#include "ui/skin_label_win.h"

namespace ui {

bool SkinProgress::SetImages(HBITMAP track, HBITMAP fill) {
    m_track.Reset(track);
    m_fill.Reset(fill);
    const SIZE t = BitmapSize(track), f = BitmapSize(fill);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, t.cx, t.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const auto g = ComputeProgressGeometry(t.cx, t.cy, f.cx, f.cy);
    m_trackRect = base::ToRECT(g.bar);
    m_fillRect = base::ToRECT(g.fill);
    return true;
}

LRESULT SkinProgress::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ERASEBKGND:
        return TRUE;
    case WM_PAINT:
        OnPaint();
        return 0;
    default:
        return CWnd::WindowProc(msg, wParam, lParam);
    }
}

void SkinProgress::OnPaint() {
    PAINTSTRUCT ps{};
    const HDC paint = ::BeginPaint(m_hWnd, &ps);
    // Without images the bar has no size of its own: the client area is drawn (parent only).
    const RECT client = GetClientRect();
    const int w = client.right, h = client.bottom;
    if (paint && w > 0 && h > 0) {
        base::MemoryDC mem(::CreateCompatibleDC(paint));
        base::Bitmap bmp(::CreateCompatibleBitmap(paint, w, h));
        if (mem && bmp) {
            base::SelectedObject selected(mem.Get(), bmp.Get());
            PaintParentBackground(m_hWnd, mem.Get());
            base::MemoryDC src(::CreateCompatibleDC(paint));
            if (src && m_track) {
                base::SelectedObject image(src.Get(), m_track.Get());
                const int bw = m_trackRect.right - m_trackRect.left,
                          bh = m_trackRect.bottom - m_trackRect.top;
                ::TransparentBlt(mem.Get(), 0, 0, bw, bh, src.Get(), 0, 0, bw, bh, kKeyColorRef);
            }
            if (src && m_fill) {
                PBRANGE range{};
                SendMessage(PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
                const base::Rect fillRect = base::FromRECT(m_fillRect);
                const auto fill = ComputeProgressFill(fillRect, GetPos(), range.iLow, range.iHigh);
                const int fh = fillRect.Height();
                base::SelectedObject image(src.Get(), m_fill.Get());
                for (const auto& span : {fill.left, fill.right}) {
                    if (span.width <= 0) continue;
                    ::TransparentBlt(mem.Get(), span.destX, fillRect.top, span.width, fh, src.Get(),
                                     span.srcX, 0, span.width, fh, kKeyColorRef);
                }
            }
            ::BitBlt(paint, 0, 0, w, h, mem.Get(), 0, 0, SRCCOPY);
        }
    }
    ::EndPaint(m_hWnd, &ps);
}

} // namespace ui
