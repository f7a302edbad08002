#include "ui/add_account_prompt_win.h"

#include "ui/skin_image_win.h"

namespace ui {

AddAccountPrompt::AddAccountPrompt(const Resources& ids, HWND parent)
    : SkinnedDialog(ids.dialogTemplate, parent), m_ids(ids) {
}

void AddAccountPrompt::DoDataExchange() {
    SkinnedDialog::DoDataExchange();
    DDX_Control(IDOK, m_yesButton);
    DDX_Control(IDCANCEL, m_noButton);
    DDX_Control(static_cast<int>(m_ids.textLabel), m_question);
}

BOOL AddAccountPrompt::OnInitDialog() {
    SkinnedDialog::OnInitDialog();
    SetTitle(L"登录其他账号");
    FrameStyle style;
    style.captionHeight = 30;
    SetStyle(style);
    const HINSTANCE self = ::GetModuleHandleW(nullptr);
    SetSkin({.background = base::Bitmap(LoadSkinImage(self, m_ids.background))}, {.sizeToBackground = true});
    // The strip stays ours: each button keeps only its image list.
    base::Bitmap strip(LoadSkinImage(self, GetSkinResources().textButton));
    m_yesButton.SetImage(strip.Get(), true);
    m_noButton.SetImage(strip.Get(), true);
    LabelStyle text;
    text.lineSpacing = 5;
    m_question.SetStyle(text);
    return TRUE;
}

void AddAccountPrompt::Answer(WPARAM newTab) {
    // Without a parent there is nobody to tell: posting to no window would reach the thread.
    if (const HWND parent = ::GetParent(m_hWnd)) ::PostMessageW(parent, kAnswerMessage, newTab, 0);
    ShowWindow(SW_HIDE);
}

LRESULT AddAccountPrompt::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ACTIVATE: {
        const LRESULT result = SkinnedDialog::WindowProc(msg, wParam, lParam);
        // Clicking anywhere else dismisses the prompt without an answer.
        if (LOWORD(wParam) == WA_INACTIVE) ShowWindow(SW_HIDE);
        return result;
    }
    case WM_NCHITTEST:
        return HTCLIENT; // not draggable, although it has a caption band
    default:
        return SkinnedDialog::WindowProc(msg, wParam, lParam);
    }
}

} // namespace ui
