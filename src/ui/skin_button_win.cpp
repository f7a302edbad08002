// The image button.
#include "ui/skin_button_win.h"

#include <commctrl.h>

#include "ui/frame_geometry.h"
#include "ui/keyed_pixel.h"
#include "ui/skin_image_win.h"

namespace ui {

namespace {

constexpr DWORD kHoverTimeMs = 10;
constexpr int kToolTipDelayMs = 660;

TOOLINFOW ToolFor(HWND button) {
    TOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.hwnd = button;
    ti.uId = 0;
    return ti;
}

} // namespace

SkinButton::~SkinButton() {
    DestroyToolTip();
}

BOOL SkinButton::CreateCaptionButton(int right, int top, UINT id, HWND parent, HBITMAP strip) {
    const SIZE size = BitmapSize(strip);
    const RECT rc{right - size.cx / kButtonFrames, top, right, top + size.cy};
    if (!Create(L"", WS_CHILD | WS_VISIBLE, rc, parent, static_cast<int>(id))) return FALSE;
    SetImage(strip, FALSE);
    return TRUE;
}

BOOL SkinButton::SetImage(HBITMAP strip, BOOL resizeToFrame) {
    const SIZE size = BitmapSize(strip);
    const int frameW = size.cx / kButtonFrames;
    // Without a usable strip the button keeps what it had.
    if (frameW <= 0 || size.cy <= 0) return FALSE;
    base::ImageList frames(::ImageList_Create(frameW, size.cy, ILC_COLOR24 | ILC_MASK, kButtonFrames, 0));
    if (AddMaskedCopy(frames.Get(), strip, kKeyColorRef) < 0) return FALSE;
    m_frames = std::move(frames);
    if (resizeToFrame && m_hWnd) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, frameW, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (m_hWnd) m_faceRect = GetWindowRect();
    return TRUE;
}

void SkinButton::SetToolTip(const wchar_t* text) {
    m_toolTipText = text ? text : L"";
    m_hasToolTip = TRUE;
    if (m_toolTip.IsWindow() || !m_hWnd) return;
    HWND tip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
    if (!tip) return;
    m_toolTip.Attach(tip);
    TOOLINFOW ti = ToolFor(m_hWnd);
    ti.rect = GetClientRect();
    ti.lpszText = LPSTR_TEXTCALLBACKW;
    ::SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    ::SendMessageW(tip, TTM_SETDELAYTIME, TTDT_AUTOMATIC, MAKELPARAM(kToolTipDelayMs, 0));
}

void SkinButton::DestroyToolTip() {
    // The tooltip is owned by the top-level window, not by the button: it goes with the button.
    if (HWND tip = m_toolTip.Detach(); tip && ::IsWindow(tip)) ::DestroyWindow(tip);
}

void SkinButton::PreSubclassWindow() {
    m_text = GetWindowText();
    ModifyStyle(0, BS_OWNERDRAW);
    m_faceRect = GetWindowRect();
    CButton::PreSubclassWindow();
}

BOOL SkinButton::PreTranslateMessage(MSG* msg) {
    if (m_hasToolTip && m_toolTip.IsWindow()) {
        m_toolTip.SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
    }
    return CButton::PreTranslateMessage(msg);
}

void SkinButton::DrawItem(DRAWITEMSTRUCT* item) {
    const bool disabled = (item->itemState & (ODS_DISABLED | ODS_GRAYED)) != 0;
    const ButtonLook look =
        ChooseButtonFrame(disabled, (item->itemState & ODS_SELECTED) != 0, m_pressed, m_hover);
    m_pressed = look.pressedLatch;

    const int w = m_faceRect.right - m_faceRect.left, h = m_faceRect.bottom - m_faceRect.top;
    if (w <= 0 || h <= 0) return;
    base::MemoryDC mem(::CreateCompatibleDC(item->hDC));
    base::Bitmap surface(::CreateCompatibleBitmap(item->hDC, w, h));
    if (!mem || !surface) return;
    base::SelectedObject keep(mem.Get(), surface.Get());

    // The parent paints the piece of its skin under the button, shifted into our bitmap.
    if (HWND parent = ::GetParent(m_hWnd)) {
        RECT self = GetWindowRect(), outer{};
        ::GetWindowRect(parent, &outer);
        POINT old{};
        ::SetWindowOrgEx(mem.Get(), self.left - outer.left, self.top - outer.top, &old);
        ::SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem.Get()), 0);
        ::SetWindowOrgEx(mem.Get(), old.x, old.y, nullptr);
    }

    if (m_frames && look.frame < ::ImageList_GetImageCount(m_frames.Get())) {
        int frameW = 0, frameH = 0;
        ::ImageList_GetIconSize(m_frames.Get(), &frameW, &frameH);
        if (frameW == w && frameH == h) {
            ::ImageList_Draw(m_frames.Get(), look.frame, mem.Get(), 0, 0, ILD_TRANSPARENT);
        } else {
            // Scaled: the frame on magenta first, then a transparent stretch of that.
            base::MemoryDC frameDc(::CreateCompatibleDC(item->hDC));
            base::Bitmap frame(::CreateCompatibleBitmap(item->hDC, frameW, frameH));
            if (frameDc && frame) {
                base::SelectedObject keepFrame(frameDc.Get(), frame.Get());
                base::Brush magenta(::CreateSolidBrush(kKeyColorRef));
                const RECT all{0, 0, frameW, frameH};
                ::FillRect(frameDc.Get(), &all, magenta.Get());
                ::ImageList_Draw(m_frames.Get(), look.frame, frameDc.Get(), 0, 0, ILD_TRANSPARENT);
                ::TransparentBlt(mem.Get(), 0, 0, w, h, frameDc.Get(), 0, 0, frameW, frameH, kKeyColorRef);
            }
        }
    }

    if (!m_text.empty()) {
        ::SetBkMode(mem.Get(), TRANSPARENT);
        ::SetTextColor(mem.Get(), look.frame == 3 ? ::GetSysColor(COLOR_GRAYTEXT) : m_textColour);
        HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
        base::SelectedObject keepFont(mem.Get(), font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
        RECT rc = GetClientRect();
        ::DrawTextW(mem.Get(), m_text.c_str(), static_cast<int>(m_text.size()), &rc,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    ::BitBlt(item->hDC, 0, 0, w, h, mem.Get(), 0, 0, SRCCOPY);
}

void SkinButton::OnMouseMove() {
    if (!m_tracking) {
        TRACKMOUSEEVENT tme{};
        tme.cbSize = sizeof(tme);
        tme.dwFlags = TME_HOVER | TME_LEAVE;
        tme.hwndTrack = m_hWnd;
        tme.dwHoverTime = kHoverTimeMs;
        m_tracking = ::TrackMouseEvent(&tme);
    }
}

void SkinButton::OnMouseHover() {
    m_hover = TRUE;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    if (m_hasToolTip && m_toolTip.IsWindow()) {
        TOOLINFOW ti = ToolFor(m_hWnd);
        ti.lpszText = const_cast<wchar_t*>(m_toolTipText.c_str());
        m_toolTip.SendMessage(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

void SkinButton::OnMouseLeave() {
    m_hover = FALSE;
    m_tracking = FALSE;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void SkinButton::OnLButtonUp() {
    m_pressed = FALSE;
}

LRESULT SkinButton::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ERASEBKGND:
        return TRUE; // DrawItem paints the whole face
    case WM_MOUSEMOVE:
        OnMouseMove();
        break;
    case WM_MOUSEHOVER:
        OnMouseHover();
        return 0;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp();
        break;
    case WM_LBUTTONDBLCLK:
        // An owner-drawn button turns a quick second click into BN_DOUBLECLICKED, which the
        // skinned windows do not handle: each click of a player is a press of its own.
        return CButton::WindowProc(WM_LBUTTONDOWN, wParam, lParam);
    case WM_NOTIFY: {
        // The tool's text is asked for until the first hover has set it.
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (hdr && hdr->hwndFrom == m_toolTip.m_hWnd && hdr->code == TTN_GETDISPINFOW) {
            reinterpret_cast<NMTTDISPINFOW*>(lParam)->lpszText = const_cast<wchar_t*>(m_toolTipText.c_str());
            return 0;
        }
        break;
    }
    case WM_DESTROY:
        DestroyToolTip();
        m_hover = m_tracking = m_pressed = FALSE;
        break;
    default:
        break;
    }
    return CButton::WindowProc(msg, wParam, lParam);
}

} // namespace ui
