// Folder ui/: skinned windows, controls and their portable layout rules; may include fw/ and base/.
// CDlgEx: the skinned dialog frame under every window of the program. It turns a dialog
// from a template into a borderless window painted from one skin image (nine-slice or 1:1),
// with a caption band carrying icon, title and image caption buttons, dragging by the band,
// optional edge resizing, its own maximize-to-work-area and a shape cut from the skin.
#pragma once
#include <windows.h>

#include "fw/fw_win.h"
#include "ui/btn_ex_win.h"
#include "ui/frame_geometry.h"

class CDlgEx : public CDialog {
public:
    static constexpr UINT kIdClose = 50000;
    static constexpr UINT kIdMinimize = 50001;
    static constexpr UINT kIdMaximize = 50002;

    explicit CDlgEx(UINT templateId, HWND parent = nullptr);
    explicit CDlgEx(const DLGTEMPLATE* dialogTemplate, HWND parent = nullptr);
    ~CDlgEx() override;

    // Strips the platform's frame and records the work area. Derived dialogs call it first.
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // Sets the window text and repaints the title strip of the caption band.
    void SetTitle(const wchar_t* text);
    // Takes the skin. The frame owns background, maximizeImage and restoreImage from now on;
    // closeImage and minimizeImage stay the caller's (the buttons copy them). A null button
    // image means that button is not created.
    BOOL SetSkin(HBITMAP closeImage, HBITMAP backgroundImage, BOOL sizeToBackground, BOOL stretch,
                 HBITMAP minimizeImage = nullptr, HBITMAP maximizeImage = nullptr,
                 HBITMAP restoreImage = nullptr);
    void RedrawCaptionButtons();
    // Cuts the window's shape from the key-coloured pixels near the skin's corners.
    void UpdateRegion();
    // Paints the skin for a window of w x h into dc at (0, 0).
    void DrawBackground(HDC dc, int w, int h);

    virtual void OnCloseButton();
    virtual void OnMinimizeButton();
    virtual LRESULT ToggleMaximize();
    virtual void UpdateMaximizeButton(bool maximized);

    // Message handlers; a derived dialog that handles one of these messages itself calls them.
    BOOL OnEraseBkgnd(HDC dc);
    LRESULT OnNcHitTest(POINT screen);
    void OnNcLButtonDown(UINT hit, POINT screen);
    void OnNcLButtonDblClk(UINT hit, POINT screen);
    void OnLButtonDblClk(UINT flags, POINT client);
    void OnSize(UINT type, int cx, int cy);

    BOOL m_bShowTitle = TRUE;
    BOOL m_bShowIcon = TRUE;
    int m_nCaptionHeight = -1;
    int m_nButtonRight = 5;
    int m_nButtonTop = 1;
    int m_nButtonGap = 0;
    int m_nBorder = 3;
    COLORREF m_crTitle = RGB(255, 255, 255);
    int m_nTitleWeight = FW_NORMAL;
    fw::Bitmap m_bmpBackground;
    CBtnEx m_btnClose;
    CBtnEx m_btnMinimize;
    CBtnEx m_btnMaximize;
    int m_nMaxWidth = 0;
    int m_nMaxHeight = 0;
    RECT m_rcRestore{};
    BOOL m_bMaximized = FALSE;
    BOOL m_bResizable = FALSE;
    BOOL m_bStretch = FALSE;
    fw::Bitmap m_bmpMaximize;
    fw::Bitmap m_bmpRestore;

protected:
    ui::FrameLayout Layout() const { return {m_nCaptionHeight, m_nBorder, m_bResizable != FALSE}; }

private:
    // The dialog's font with the title's weight and face, for one paint.
    fw::Font CreateTitleFont(int* fontHeight) const;
    bool HasSmallIcon() const;
};
