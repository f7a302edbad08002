// SkinLabel: a self-drawn text label in the program's font that wraps by character, grows
// downwards to hold its lines, can show an image left of the text and can act as a link.
#pragma once
#include <windows.h>

#include <string>

#include "fw/handles_win.h"
#include "fw/wnd_win.h"

namespace ui {
// Paints the part of the parent's skin that lies under `control` into dc (whose origin is the
// control's top-left corner) by sending the parent WM_ERASEBKGND with a shifted window origin.
void PaintParentBackground(HWND control, HDC dc);
} // namespace ui

class SkinLabel : public CWnd {
public:
    SkinLabel() = default;
    ~SkinLabel() override = default;

    // Takes the bitmap's size and a copy of it as the image left of the text (magenta is
    // transparent); the bitmap stays the caller's. False, with the old image kept, when the
    // bitmap cannot be taken.
    bool SetImage(HBITMAP bitmap);
    // The label font, created at the first call from the dialog's font and kept.
    HFONT GetLabelFont();

    std::wstring m_strText;
    int m_nFontWidth = 0;
    int m_nFontWeight = -1;
    int m_nFontHeight = 0;
    BOOL m_bHandCursor = FALSE;
    BOOL m_bUnderline = FALSE;
    fw::Font m_font;
    COLORREF m_crText = RGB(0, 0, 0);
    COLORREF m_crHover = RGB(0, 0, 0);
    int m_nLineSpacing = 3;
    BOOL m_bHoverColor = FALSE;
    BOOL m_bHover = FALSE;
    BOOL m_bTracking = FALSE;
    fw::ImageList m_imgIcon;
    int m_nImageWidth = 0;
    int m_nImageHeight = 0;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void PreSubclassWindow() override;
    // Draws the text wrapped into the client area (right of the image) and grows the label's
    // window when its lines need more height.
    virtual void DrawLabelText(HDC dc);

    void OnPaint();
    BOOL OnSetCursor();
    void OnMouseMove();
    void OnMouseHover();
    void OnMouseLeave();
};
