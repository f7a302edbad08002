// The main window's tab strip: the tab and close-box images, the tooltip with a tab's whole label,
// the hover look that follows the hit test, and the drawing into the caption band.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "base/geometry.h"
#include "base/handle_win.h"
#include "mainwnd/page_model.h"

namespace mainwnd {

class TabStrip {
public:
    // The strip shows the tabs, labels and hover of `model`, which outlives it.
    explicit TabStrip(PageModel& model) : m_model(model) {}
    ~TabStrip() { Destroy(); }
    TabStrip(const TabStrip&) = delete;
    TabStrip& operator=(const TabStrip&) = delete;

    // Loads the images and puts the tooltip over `window`, whose caption band shows the strip.
    void Create(HWND window);
    // Destroys the tooltip (the images go with the object).
    void Destroy();

    // Draws the tabs into `dc` (client coordinates) with the window's font.
    void Draw(HDC dc, HFONT font) const;
    // The mouse is over client point `p` (`inCaption`: the frame calls it the caption): the
    // hover look, the tooltip and the leave tracking follow.
    void OnHitTest(POINT p, bool leftDown, bool inCaption);
    void OnMouseLeave(bool client);
    bool Contains(POINT client) const { return m_model.InStrip({client.x, client.y}); }
    // Erases and redraws these parts of the window (the strip is drawn in the erase step).
    void Invalidate(const std::vector<base::Rect>& rects) const;

    // Lets the tooltip see a message of the window's.
    void RelayEvent(MSG* msg) const;
    // Answers the tooltip's request for its text; false for a notice from anything else.
    bool OnNotify(NMHDR* header);

private:
    std::wstring TooltipText() const;

    PageModel& m_model;
    HWND m_window = nullptr;
    HWND m_toolTip = nullptr;
    std::wstring m_tipText;
    base::ImageList m_tabs;
    base::ImageList m_closeBox;
};

} // namespace mainwnd
