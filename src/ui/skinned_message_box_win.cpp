#include "ui/skinned_message_box_win.h"

#include <algorithm>

#include "base/geometry_win.h"
#include "fw/handles_win.h"
#include "ui/msgbox_layout.h"
#include "ui/skin_image_win.h"

namespace {
// Text is measured and drawn the same way: lines break only at '\n', and '&' is shown as is
// (account names may contain it).
constexpr UINT kTextFormat = DT_NOPREFIX;

} // namespace

int ShowMessageBox(HWND parent, const wchar_t* text, const wchar_t* caption, UINT type) {
    SkinnedMessageBox box(text ? text : L"", caption ? caption : L"", type, parent);
    return static_cast<int>(box.DoModal());
}

SkinnedMessageBox::SkinnedMessageBox(std::wstring text, std::wstring caption, UINT type, HWND parent)
    : SkinnedDialog(ui::GetSkinResources().messageBoxTemplate, parent), m_strText(std::move(text)),
      m_strCaption(std::move(caption)), m_nType(type) {
}

SIZE SkinnedMessageBox::MeasureText() const {
    fw::WindowDC dc(m_hWnd);
    if (!dc) return {0, 0};
    fw::SelectedObject font(dc.Get(), m_hTextFont);
    RECT rc{};
    ::DrawTextW(dc.Get(), m_strText.c_str(), static_cast<int>(m_strText.size()), &rc,
                kTextFormat | DT_CALCRECT);
    return {rc.right - rc.left, rc.bottom - rc.top};
}

BOOL SkinnedMessageBox::OnInitDialog() {
    SkinnedDialog::OnInitDialog();
    SetPopupSkin();
    SetTitle(m_strCaption.c_str());

    m_nLines = ui::CountMessageLines(m_strText);
    m_hTextFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    const SIZE text = MeasureText();
    // Both buttons copy their frames from the one strip.
    const fw::Bitmap image(LoadSkinImage(::GetModuleHandleW(nullptr), ui::GetSkinResources().textButton));
    const SIZE strip = BitmapSize(image.Get());
    const int frameWidth = strip.cx / 4, frameHeight = strip.cy;
    const auto size = ui::ComputeMsgBoxSize(text.cx, text.cy, m_nLines, frameWidth, frameHeight);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, size.width, size.height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    fw::CenterOverOwner(m_hWnd);

    const RECT client = GetClientRect();
    const auto buttons =
        ui::LayoutMsgBoxButtons(m_nType, client.right, client.bottom, frameWidth, frameHeight);
    SkinButton* controls[] = {&m_btnFirst, &m_btnSecond};
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
        EndDialog(ui::kMsgBoxIdCancel);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            const int result = ui::MsgBoxResult(m_nType, LOWORD(wParam));
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
    fw::WindowDC dc(m_hWnd);
    if (!dc) return;
    fw::SelectedObject font(dc.Get(), m_hTextFont);
    ::SetBkMode(dc.Get(), TRANSPARENT);
    ::SetTextColor(dc.Get(), m_crText);
    const SIZE text = MeasureText();
    const RECT client = GetClientRect();
    for (const auto& line : ui::LayoutMsgBoxLines(m_strText, client.right, text.cx, text.cy)) {
        RECT rc = base::ToRECT(line.rect);
        ::DrawTextW(dc.Get(), line.text.data(), static_cast<int>(line.text.size()), &rc, kTextFormat);
    }
}
