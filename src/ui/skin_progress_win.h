// SkinProgress: a progress bar drawn from a track image and a fill image, showing as much of
// the fill as the position says with both of its rounded ends visible.
#pragma once
#include <windows.h>

#include "base/handle_win.h"
#include "fw/wnd_win.h"

namespace ui {

class SkinProgress : public CWnd {
public:
    SkinProgress() = default;
    ~SkinProgress() override = default;

    // Takes ownership of both images, sizes the control to the track and centres the fill in
    // it. Always true.
    bool SetImages(HBITMAP track, HBITMAP fill);
    // The base control's position (PBM_SETPOS repaints).
    int SetPos(int pos) { return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(pos))); }
    int GetPos() const { return static_cast<int>(SendMessage(PBM_GETPOS)); }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnPaint();

private:
    base::Bitmap m_track;
    base::Bitmap m_fill;
    RECT m_trackRect{};
    RECT m_fillRect{};
};

} // namespace ui
