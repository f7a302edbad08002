// Folder ui/: skinned windows, controls and their portable layout rules; may include fw/ and base/.
// SkinnedDialog: the skinned dialog frame under every window of the program. It turns a dialog
// from a template into a borderless window painted from one skin image (nine-slice or 1:1),
// with a caption band carrying icon, title and image caption buttons, dragging by the band,
// optional edge resizing, its own maximize-to-work-area and a shape cut from the skin.
#pragma once
#include <windows.h>

#include "base/handle_win.h"
#include "fw/fw_win.h"
#include "ui/skin_button_win.h"
#include "ui/frame_geometry.h"

namespace ui {

// How a skinned frame looks: each dialog sets it once (SkinnedDialog::SetStyle) before it takes its skin.
struct FrameStyle {
    int captionHeight = -1; // height of the caption band, -1: no band
    int border = 3;         // thickness of the frame
    int buttonRight = 5;    // caption buttons: space right of the rightmost,
    int buttonTop = 1;      // their top,
    int buttonGap = 0;      // and the space between them
    bool showTitle = true;
    bool showIcon = true;
    COLORREF titleColour = RGB(255, 255, 255);
    int titleWeight = FW_NORMAL;
    bool resizable = false; // the edges resize and a double-click on the band maximizes
    friend bool operator==(const FrameStyle&, const FrameStyle&) = default;
};

// Where the skin shared by the pop-ups lies in the program's resources. The toolkit knows no
// resource numbers: the program names them once per process, before its first skinned window.
struct SkinResources {
    UINT dialogBackground = 0; // nine-slice background of the pop-ups and the message box
    UINT closeButton = 0;      // four-frame strip of the close button
    UINT textButton = 0;       // four-frame strip of the buttons that carry a text
    UINT messageBoxTemplate = 0;
};
void SetSkinResources(const SkinResources& ids);
const SkinResources& GetSkinResources();

// The pop-up dialogs' frame: a 30-pixel band, a 4-pixel border, the close button in the corner.
inline constexpr FrameStyle kPopupFrame{30, 4, 0, 0, 0};

// The images a frame is skinned with, all handed over. The frame keeps the background and the
// maximize and restore strips; the close and minimize buttons copy theirs, which go when the
// skin has been taken. A button without a strip is not created.
struct SkinImages {
    base::Bitmap background;
    base::Bitmap close;
    base::Bitmap minimize;
    base::Bitmap maximize;
    base::Bitmap restore; // the maximize button's strip while the window is maximized
};

// How the background covers the window.
struct SkinOptions {
    bool sizeToBackground = false; // the window takes the background's size
    bool stretch = false;          // stretched in nine slices; else 1:1 with its right and bottom edges
};

class SkinnedDialog : public CDialog {
public:
    static constexpr UINT kIdClose = 50000;
    static constexpr UINT kIdMinimize = 50001;
    static constexpr UINT kIdMaximize = 50002;

    explicit SkinnedDialog(UINT templateId, HWND parent = nullptr);
    explicit SkinnedDialog(const DLGTEMPLATE* dialogTemplate, HWND parent = nullptr);
    ~SkinnedDialog() override;

    // Strips the platform's frame and records the work area. Derived dialogs call it first.
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // The frame's look, set once before SetSkin; a later change shows at the next paint.
    void SetStyle(const FrameStyle& style) { m_style = style; }

    // Sets the window text and repaints the title strip of the caption band.
    void SetTitle(const wchar_t* text);
    // Takes the skin and creates the caption buttons it has strips for.
    BOOL SetSkin(SkinImages images, const SkinOptions& options);
    // The pop-up dialogs' look in one call: kPopupFrame, the dialog background stretched to the
    // window and the close button.
    BOOL SetPopupSkin();
    void RedrawCaptionButtons();
    // Cuts the window's shape from the key-coloured pixels near the skin's corners.
    void UpdateRegion();
    // Paints the skin for a window of w x h into dc at (0, 0).
    void DrawBackground(HDC dc, int w, int h);
    // Paints the whole frame (skin, icon, title) for a window of w x h into dc at (0, 0),
    // without the cache that OnEraseBkgnd copies from.
    void RenderFrame(HDC dc, int w, int h);

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

    bool IsMaximized() const { return m_maximized != FALSE; }
    // Where a restore puts the window: its place before the last maximize or press on the frame.
    const RECT& RestoreRect() const { return m_restoreRect; }
    // The size a maximize gives the window, centred in the work area; the work area's own size
    // from OnInitDialog on.
    SIZE MaximizedSize() const { return {m_maxWidth, m_maxHeight}; }
    void SetMaximizedSize(int width, int height) { m_maxWidth = width, m_maxHeight = height; }
    const SkinButton& CloseButton() const { return m_closeButton; }
    const SkinButton& MinimizeButton() const { return m_minimizeButton; }
    const SkinButton& MaximizeButton() const { return m_maximizeButton; }

protected:
    FrameLayout Layout() const { return {m_style.captionHeight, m_style.border, m_style.resizable}; }

private:
    // What the cached frame was painted with, besides the skin, icon, title and font, whose
    // changes drop the cache.
    struct FrameKey {
        int w = 0, h = 0;
        FrameStyle style;
        bool stretch = false;
        bool operator==(const FrameKey&) const = default;
    };

    // The dialog's font with the title's weight and face, for one paint.
    base::Font CreateTitleFont(int* fontHeight) const;
    bool HasSmallIcon() const;
    // The frame painted for a window of w x h, painted again only when something it shows changed.
    HBITMAP FrameImage(int w, int h);

    base::Bitmap m_background;
    SkinButton m_closeButton;
    SkinButton m_minimizeButton;
    SkinButton m_maximizeButton;
    int m_maxWidth = 0;
    int m_maxHeight = 0;
    RECT m_restoreRect{};
    BOOL m_maximized = FALSE;
    bool m_stretch = false;
    base::Bitmap m_maximizeImage;
    base::Bitmap m_restoreImage;
    FrameStyle m_style;
    base::Bitmap m_frameCache;
    FrameKey m_frameKey;
};

} // namespace ui
