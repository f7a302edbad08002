// The tab strip of the main game window: drawn into the caption band in the erase step, with a
// hover look and close box that follow the hit test, a tooltip with the whole label, and mouse
// buttons in client and non-client form that select and close tabs.
#include "mainwnd/main_dlg_win.h"

#include <commctrl.h>

#include "base/geometry_win.h"
#include "resource.h"
#include "ui/keyed_pixel.h"
#include "ui/skin_image_win.h"

using namespace mainwnd;

namespace {

constexpr int kStripFrames = 3;
constexpr UINT kTooltipDelayMs = 500;

// An image list of the three equal frames of a skin strip; magenta is transparent.
fw::ImageList LoadStrip(UINT id) {
    fw::Bitmap strip(LoadSkinImage(::GetModuleHandleW(nullptr), id));
    BITMAP info{};
    if (!strip || !::GetObjectW(strip.Get(), sizeof(info), &info) || info.bmWidth < kStripFrames) return {};
    fw::ImageList list(::ImageList_Create(info.bmWidth / kStripFrames, info.bmHeight, ILC_COLOR24 | ILC_MASK,
                                          kStripFrames, 0));
    if (list) ::ImageList_AddMasked(list.Get(), strip.Get(), ui::kKeyColorRef);
    return list;
}

} // namespace

void CTollgate3Dlg::CreateTabStrip() {
    m_imgTabs = LoadStrip(IDB_TAB);
    m_imgCloseBox = LoadStrip(IDB_TAB_CLOSE);

    const HWND tip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd,
                                       nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!tip) return;
    m_toolTip.Attach(tip);
    // One tool over the whole window; its text is the hovered tab's label, asked for on demand.
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    m_toolTip.SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    m_toolTip.SendMessage(TTM_SETDELAYTIME, TTDT_AUTOMATIC, MAKELPARAM(kTooltipDelayMs, 0));
    m_toolTip.SendMessage(TTM_ACTIVATE, FALSE, 0); // the first hover over a tab activates it
}

std::wstring CTollgate3Dlg::TooltipText() const {
    return std::wstring(m_model.Label(m_model.Hover().hoverTab));
}

void CTollgate3Dlg::InvalidateRects(const std::vector<base::Rect>& rects) {
    // The strip is drawn in the erase step, so every invalidation erases.
    for (const base::Rect& r : rects) {
        const RECT rc = base::ToRECT(r);
        ::InvalidateRect(m_hWnd, &rc, TRUE);
    }
}

BOOL CTollgate3Dlg::OnEraseBkgnd(HDC dc) {
    // Children ask for the skin under them with a shifted origin: everything is drawn relative
    // to the DC's origin, through one memory bitmap of the part the DC can show (a child's
    // area for a child, the invalid part of the window for the window itself).
    const RECT client = GetClientRect();
    RECT part = client, box{};
    const int clip = ::GetClipBox(dc, &box);
    if (clip == NULLREGION) return TRUE;
    if (clip != ERROR && !::IntersectRect(&part, &client, &box)) return TRUE;
    const int w = part.right - part.left, h = part.bottom - part.top;
    fw::MemoryDC mem(::CreateCompatibleDC(dc));
    fw::Bitmap surface(::CreateCompatibleBitmap(dc, w, h));
    if (!mem || !surface) return CDlgEx::OnEraseBkgnd(dc);
    fw::SelectedObject keepSurface(mem.Get(), surface.Get());
    ::SetWindowOrgEx(mem.Get(), part.left, part.top, nullptr);
    CDlgEx::OnEraseBkgnd(mem.Get());
    DrawTabs(mem.Get());
    ::BitBlt(dc, part.left, part.top, w, h, mem.Get(), part.left, part.top, SRCCOPY);
    return TRUE;
}

void CTollgate3Dlg::DrawTabs(HDC dc) {
    const int count = m_model.TabCount();
    if (count == 0) return;
    fw::SelectedObject keepFont(dc, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const HoverState& hover = m_model.Hover();
    for (int i = 0; i < count; ++i) {
        const base::Rect tab = TabRect(i);
        if (m_imgTabs) {
            ::ImageList_Draw(m_imgTabs.Get(), TabImageFrame(i, m_model.CurTab(), hover.hoverTab), dc,
                             tab.left, tab.top, ILD_TRANSPARENT);
        }
        if (i == hover.hoverTab && hover.closeBoxState >= 0 && m_imgCloseBox) {
            const base::Rect box = CloseBoxRect(i);
            ::ImageList_Draw(m_imgCloseBox.Get(), hover.closeBoxState, dc, box.left, box.top,
                             ILD_TRANSPARENT);
        }
        // One clipped line; an '&' in an account name is a letter, not a mnemonic.
        RECT label = base::ToRECT(LabelRect(i));
        const std::wstring_view text = m_model.Label(i);
        ::DrawTextW(dc, text.data(), static_cast<int>(text.size()), &label,
                    DT_SINGLELINE | DT_LEFT | DT_TOP | DT_NOPREFIX);
    }
    ::SetBkMode(dc, oldMode);
}

LRESULT CTollgate3Dlg::OnNcHitTest(POINT screen) {
    const LRESULT hit = CDlgEx::OnNcHitTest(screen);
    POINT p = screen;
    ::ScreenToClient(m_hWnd, &p);
    const bool leftDown = ::GetKeyState(VK_LBUTTON) < 0;
    ApplyHover(m_model.HitTest({p.x, p.y}, leftDown, hit == HTCAPTION));
    return hit;
}

void CTollgate3Dlg::ApplyHover(const HoverUpdate& update) {
    InvalidateRects(update.invalidate);
    if (m_toolTip.IsWindow()) {
        if (update.tooltip == TooltipOp::Activate) {
            m_tipText = TooltipText();
            m_toolTip.SendMessage(TTM_ACTIVATE, TRUE, 0);
        } else if (update.tooltip == TooltipOp::Deactivate) {
            m_toolTip.SendMessage(TTM_ACTIVATE, FALSE, 0);
        }
    }
    if (update.requestLeave) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = m_hWnd;
        m_model.SetLeaveRequested(::TrackMouseEvent(&track) != FALSE);
    }
}

void CTollgate3Dlg::OnMouseLeave(bool client) {
    InvalidateRects(m_model.MouseLeave(client).invalidate);
}

bool CTollgate3Dlg::OnTabLButtonDown(POINT client) {
    PageActions a = m_model.LeftButtonDown({client.x, client.y}, HallVisible());
    const bool consumed = a.consumed;
    Apply(std::move(a));
    return consumed;
}

bool CTollgate3Dlg::OnTabLButtonUp(POINT client) {
    PageActions a = m_model.LeftButtonUp({client.x, client.y});
    const bool consumed = a.consumed;
    Apply(std::move(a));
    return consumed;
}

bool CTollgate3Dlg::OnTabMButtonUp(POINT client) {
    PageActions a = m_model.MiddleButtonUp({client.x, client.y});
    const bool consumed = a.consumed;
    Apply(std::move(a));
    return consumed;
}
