// SkinButton: the image button of the skinned windows. It shows one of four frames of an image
// strip (normal, hover, pressed, disabled) over the piece of its parent's skin that lies
// under it, optionally with a centred text and a tooltip.
#pragma once
#include <windows.h>

#include <string>
#include <utility>

#include "fw/fw_win.h"

namespace ui {

class SkinButton : public CButton {
public:
    SkinButton() = default;
    ~SkinButton() override;

    // Creates a caption button whose right edge is at `right` (parent client coordinates),
    // one frame of the strip wide, and gives it the strip.
    BOOL CreateCaptionButton(int right, int top, UINT id, HWND parent, HBITMAP strip);
    // Cuts the strip (four frames side by side; magenta is transparent) into the button's
    // image list; the strip stays the caller's. resizeToFrame makes the button one frame big.
    BOOL SetImage(HBITMAP strip, BOOL resizeToFrame);
    void SetToolTip(const wchar_t* text);

    // The centred text (taken from the window text when attached) and its colour.
    void SetText(std::wstring text) { m_text = std::move(text); }
    const std::wstring& Text() const { return m_text; }
    void SetTextColour(COLORREF colour) { m_textColour = colour; }
    // Forgets the hover, for a button that moved away from under the mouse.
    void ForgetHover() { m_hover = m_tracking = FALSE; }

    // What the button tracks itself, for the windows around it and for tests.
    bool IsHovered() const { return m_hover != FALSE; }
    bool IsTracking() const { return m_tracking != FALSE; }
    bool IsPressed() const { return m_pressed != FALSE; }
    HIMAGELIST Frames() const { return m_frames.Get(); }
    HWND ToolTipWindow() const { return m_toolTip.m_hWnd; }
    // The drawing size: the window's size when the image was last set or the button attached.
    SIZE FaceSize() const { return {m_faceRect.right - m_faceRect.left, m_faceRect.bottom - m_faceRect.top}; }

    void PreSubclassWindow() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    void DrawItem(DRAWITEMSTRUCT* item) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void OnMouseMove();
    void OnMouseHover();
    void OnMouseLeave();
    void OnLButtonUp();
    void DestroyToolTip();

    BOOL m_tracking = FALSE;
    BOOL m_hover = FALSE;
    RECT m_faceRect{}; // only its width and height are used: the drawing size
    std::wstring m_text;
    COLORREF m_textColour = 0;
    base::ImageList m_frames;
    BOOL m_pressed = FALSE;
    BOOL m_hasToolTip = FALSE;
    CWnd m_toolTip;
    std::wstring m_toolTipText;
};

} // namespace ui
