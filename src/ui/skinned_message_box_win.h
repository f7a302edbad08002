// The skinned message box: the one way a notice or question reaches the player. Types and
// results are the platform message box's (0 OK, 1 OK/Cancel, 4 Yes/No; 1, 2, 6, 7).
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "ui/skin_button_win.h"
#include "ui/skinned_dialog_win.h"

namespace ui {

// ShowMessageBox, or what a test answers in its place.
using MessageBoxFunction =
    std::function<int(HWND parent, const wchar_t* text, const wchar_t* caption, UINT type)>;

class SkinnedMessageBox : public SkinnedDialog {
public:
    // The box from the skin's template and images (GetSkinResources), not yet shown.
    SkinnedMessageBox(std::wstring text, std::wstring caption, UINT type, HWND parent = nullptr);
    ~SkinnedMessageBox() override = default;

protected:
    BOOL OnInitDialog() override;
    // Enter and Escape must not dismiss the box: only its buttons and its close command do.
    void OnOK() override {}
    void OnCancel() override {}
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnPaint();

private:
    // The text's size on the window's DC with the dialog font, breaking only at '\n'.
    SIZE MeasureText() const;

    std::wstring m_text;
    std::wstring m_caption;
    UINT m_type = 0;
    int m_lines = 1;
    HFONT m_textFont = nullptr; // the dialog's font, not owned
    COLORREF m_textColour = RGB(0, 0, 0);
    SkinButton m_firstButton;
    SkinButton m_secondButton;
};

// Shows the box modally over parent (may be null) and answers the button's result; closing the
// box any other way answers 2.
int ShowMessageBox(HWND parent, const wchar_t* text, const wchar_t* caption, UINT type);

} // namespace ui
