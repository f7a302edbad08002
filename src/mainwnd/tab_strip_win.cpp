#include "mainwnd/tab_strip_win.h"

#include <commctrl.h>

#include "base/geometry_win.h"
#include "mainwnd/tab_geometry.h"
#include "resource.h"
#include "ui/keyed_pixel.h"
#include "ui/skin_image_win.h"

namespace mainwnd {

namespace {

constexpr int kStripFrames = 3;
constexpr UINT kTooltipDelayMs = 500;

// An image list of the three equal frames of a skin strip; magenta is transparent.
base::ImageList LoadStrip(UINT id) {
    base::Bitmap strip(LoadSkinImage(::GetModuleHandleW(nullptr), id));
    BITMAP info{};
    if (!strip || !::GetObjectW(strip.Get(), sizeof(info), &info) || info.bmWidth < kStripFrames) return {};
    base::ImageList list(::ImageList_Create(info.bmWidth / kStripFrames, info.bmHeight,
                                            ILC_COLOR24 | ILC_MASK, kStripFrames, 0));
    if (list) ::ImageList_AddMasked(list.Get(), strip.Get(), ui::kKeyColorRef);
    return list;
}

} // namespace

void TabStrip::Create(HWND window) {
    Destroy();
    m_window = window;
    m_tabs = LoadStrip(IDB_TAB);
    m_closeBox = LoadStrip(IDB_TAB_CLOSE);

    m_toolTip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    if (!m_toolTip) return;
    // One tool over the whole window; its text is the hovered tab's label, asked for on demand.
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(window);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    ::SendMessageW(m_toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(m_toolTip, TTM_SETDELAYTIME, TTDT_AUTOMATIC, MAKELPARAM(kTooltipDelayMs, 0));
    ::SendMessageW(m_toolTip, TTM_ACTIVATE, FALSE, 0); // the first hover over a tab activates it
}

void TabStrip::Destroy() {
    if (m_toolTip && ::IsWindow(m_toolTip)) ::DestroyWindow(m_toolTip);
    m_toolTip = nullptr;
}

std::wstring TabStrip::TooltipText() const {
    return std::wstring(m_model.Label(m_model.Hover().hoverTab));
}

void TabStrip::Invalidate(const std::vector<base::Rect>& rects) const {
    // The strip is drawn in the erase step, so every invalidation erases.
    for (const base::Rect& r : rects) {
        const RECT rc = base::ToRECT(r);
        ::InvalidateRect(m_window, &rc, TRUE);
    }
}

void TabStrip::Draw(HDC dc, HFONT font) const {
    const int count = m_model.TabCount();
    if (count == 0) return;
    base::SelectedObject keepFont(dc, font);
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const HoverState& hover = m_model.Hover();
    for (int i = 0; i < count; ++i) {
        const base::Rect tab = TabRect(i);
        if (m_tabs) {
            ::ImageList_Draw(m_tabs.Get(), ImageIndex(TabImageFrame(i, m_model.CurTab(), hover.hoverTab)), dc,
                             tab.left, tab.top, ILD_TRANSPARENT);
        }
        if (i == hover.hoverTab && hover.closeBoxState != CloseBoxState::None && m_closeBox) {
            const base::Rect box = CloseBoxRect(i);
            ::ImageList_Draw(m_closeBox.Get(), ImageIndex(hover.closeBoxState), dc, box.left, box.top,
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

void TabStrip::OnHitTest(POINT p, bool leftDown, bool inCaption) {
    const HoverUpdate update = m_model.HitTest({p.x, p.y}, leftDown, inCaption);
    Invalidate(update.invalidate);
    // The text itself is asked for when the tip shows (OnNotify).
    if (m_toolTip && update.tooltip != TooltipOp::None)
        ::SendMessageW(m_toolTip, TTM_ACTIVATE, update.tooltip == TooltipOp::Activate, 0);
    if (update.requestLeave) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = m_window;
        m_model.SetLeaveRequested(::TrackMouseEvent(&track) != FALSE);
    }
}

void TabStrip::OnMouseLeave(bool client) {
    Invalidate(m_model.MouseLeave(client).invalidate);
}

void TabStrip::RelayEvent(MSG* msg) const {
    if (m_toolTip) ::SendMessageW(m_toolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
}

bool TabStrip::OnNotify(NMHDR* header) {
    if (!header || !m_toolTip || header->hwndFrom != m_toolTip || header->code != TTN_GETDISPINFOW)
        return false;
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    m_tipText = TooltipText();
    info->lpszText = m_tipText.data();
    return true;
}

} // namespace mainwnd
