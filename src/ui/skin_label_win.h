// SkinLabel: a self-drawn text label in the program's font that wraps by character, grows
// downwards to hold its lines, can show an image left of the text and can act as a link.
#pragma once
#include <windows.h>

#include <string>
#include <utility>

#include "base/handle_win.h"
#include "fw/wnd_win.h"

namespace ui {
// Paints the part of the parent's skin that lies under `control` into dc (whose origin is the
// control's top-left corner) by sending the parent WM_ERASEBKGND with a shifted window origin.
void PaintParentBackground(HWND control, HDC dc);

// How a label draws its text; 0 (or -1 for the weight) keeps the dialog font's value.
struct LabelStyle {
    COLORREF textColour = RGB(0, 0, 0);
    bool hoverColourOn = false; // the text turns hoverColour while the mouse rests on it
    COLORREF hoverColour = RGB(0, 0, 0);
    bool handCursor = false;
    bool underline = false;
    int fontHeight = 0;
    int fontWidth = 0;
    int fontWeight = -1;
    int lineSpacing = 3; // pixels between wrapped lines
};
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

    // The style, set before the first paint: the font is made once, from the style of that time.
    void SetStyle(const LabelStyle& style) { m_style = style; }
    const LabelStyle& Style() const { return m_style; }
    // The text (taken from the window text when attached); the caller repaints.
    void SetText(std::wstring text) { m_text = std::move(text); }
    const std::wstring& Text() const { return m_text; }
    SIZE ImageSize() const { return {m_imageWidth, m_imageHeight}; }

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

private:
    LabelStyle m_style;
    std::wstring m_text;
    base::Font m_font;
    BOOL m_hover = FALSE;
    BOOL m_tracking = FALSE;
    base::ImageList m_image;
    int m_imageWidth = 0;
    int m_imageHeight = 0;
};

} // namespace ui
