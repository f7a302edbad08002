#include "ui/skinned_message_box_win.h"

#include <algorithm>

#include "base/geometry_win.h"
#include "base/handle_win.h"
#include "ui/msgbox_layout.h"
#include "ui/skin_image_win.h"

namespace ui {

namespace {
// Text is measured and drawn the same way: lines break only at '\n', and '&' is shown as is
// (account names may contain it).
constexpr UINT kTextFormat = DT_NOPREFIX;

} // namespace

SkinnedMessageBox::SkinnedMessageBox(std::wstring text, std::wstring caption, UINT type, HWND parent)
    : SkinnedDialog(GetSkinResources().messageBoxTemplate, parent), m_text(std::move(text)),
      m_caption(std::move(caption)), m_type(type) {
}

SIZE SkinnedMessageBox::MeasureText() const {
    base::WindowDC dc(m_hWnd);
    if (!dc) return {0, 0};
    base::SelectedObject font(dc.Get(), m_textFont);
    RECT rc{};
    ::DrawTextW(dc.Get(), m_text.c_str(), static_cast<int>(m_text.size()), &rc, kTextFormat | DT_CALCRECT);
    return {rc.right - rc.left, rc.bottom - rc.top};
}

BOOL SkinnedMessageBox::OnInitDialog() {
    SkinnedDialog::OnInitDialog();
    SetPopupSkin();
    SetTitle(m_caption.c_str());

    m_lines = CountMessageLines(m_text);
    m_textFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    const SIZE text = MeasureText();
    // Both buttons copy their frames from the one strip.
    const base::Bitmap image(LoadSkinImage(::GetModuleHandleW(nullptr), GetSkinResources().textButton));
    const SIZE strip = BitmapSize(image.Get());
    const int frameWidth = strip.cx / 4, frameHeight = strip.cy;
    const auto size = ComputeMsgBoxSize(text.cx, text.cy, m_lines, frameWidth, frameHeight);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, size.width, size.height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    fw::CenterOverOwner(m_hWnd);

    const RECT client = GetClientRect();
    const auto buttons = LayoutMsgBoxButtons(m_type, client.right, client.bottom, frameWidth, frameHeight);
    SkinButton* controls[] = {&m_firstButton, &m_secondButton};
    for (size_t i = 0; i < buttons.size(); ++i) {
        const auto& b = buttons[i];
        const RECT rc = base::ToRECT(b.rect);
        if (!controls[i]->Create(b.text, WS_CHILD | WS_VISIBLE, rc, m_hWnd, b.id)) continue;
        controls[i]->SetImage(image.Get(), true);
        controls[i]->SetText(b.text);
        controls[i]->Invalidate();
    }
    return TRUE;
}

LRESULT SkinnedMessageBox::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_CLOSE:
        EndDialog(kMsgBoxIdCancel);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            const int result = MsgBoxResult(m_type, LOWORD(wParam));
            if (result != 0) {
                EndDialog(result);
                return 0;
            }
        }
        break;
    default:
        break;
    }
    return SkinnedDialog::WindowProc(msg, wParam, lParam);
}

void SkinnedMessageBox::OnPaint() {
    DefWindowProc(); // validates; the skin was drawn at erase time by the frame
    base::WindowDC dc(m_hWnd);
    if (!dc) return;
    base::SelectedObject font(dc.Get(), m_textFont);
    ::SetBkMode(dc.Get(), TRANSPARENT);
    ::SetTextColor(dc.Get(), m_textColour);
    const SIZE text = MeasureText();
    const RECT client = GetClientRect();
    for (const auto& line : LayoutMsgBoxLines(m_text, client.right, text.cx, text.cy)) {
        RECT rc = base::ToRECT(line.rect);
        ::DrawTextW(dc.Get(), line.text.data(), static_cast<int>(line.text.size()), &rc, kTextFormat);
    }
}

int ShowMessageBox(HWND parent, const wchar_t* text, const wchar_t* caption, UINT type) {
    ui::SkinnedMessageBox box(text ? text : L"", caption ? caption : L"", type, parent);
    return static_cast<int>(box.DoModal());
}

} // namespace ui
