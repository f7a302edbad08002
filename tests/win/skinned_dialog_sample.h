// Test-only skinned dialogs in the looks the program uses (main window, standard dialog,
// prompt sized to its background), built from an in-memory template.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "resource.h"
#include "ui/skinned_dialog_win.h"
#include "ui/skin_image_win.h"

namespace sample {

// A dialog template like the program's: pop-up with caption and modal frame (which the
// frame removes), "MS Shell Dlg" at the given size, no controls, not visible.
struct Template {
    alignas(4) WORD data[64] = {};
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(data); }
};

inline Template MakeTemplate(short cx, short cy, short pointSize) {
    Template t;
    WORD* p = t.data;
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
    *p++ = LOWORD(style);
    *p++ = HIWORD(style);
    *p++ = LOWORD(exStyle);
    *p++ = HIWORD(exStyle);
    *p++ = 0; // no items
    *p++ = 0;
    *p++ = 0;
    *p++ = static_cast<WORD>(cx);
    *p++ = static_cast<WORD>(cy);
    *p++ = 0; // menu
    *p++ = 0; // class
    *p++ = 0; // title
    *p++ = static_cast<WORD>(pointSize);
    for (const wchar_t* c = L"MS Shell Dlg"; *c; ++c)
        *p++ = *c;
    *p++ = 0;
    return t;
}

// How a dialog configures its frame (the table of looks).
struct Look {
    int caption, border, right, top, gap;
    UINT close, background;
    bool sizeToBackground, stretch;
    UINT minimize, maximize, restore;
    bool resizable;
    const wchar_t* title;
    bool icon;
};

inline constexpr Look kMainLook{30,
                                4,
                                0,
                                0,
                                0,
                                IDB_BTN_CLOSE,
                                IDB_MAIN_BACK,
                                false,
                                true,
                                IDB_BTN_MINIMIZE,
                                IDB_BTN_MAXIMIZE,
                                IDB_BTN_RESTORE,
                                true,
                                L"Vexa - Tarn",
                                true};
inline constexpr Look kDialogLook{30,   4, 0, 0, 0,     IDB_BTN_CLOSE,  IDB_DLG_BACK, false,
                                  true, 0, 0, 0, false, L"Vexa - Tarn", false};
inline constexpr Look kPromptLook{
    30, 3, 5, 1, 0, 0, IDB_ADDACC_BACK, true, false, 0, 0, 0, false, L"登录其他账号", false};

inline base::Bitmap Skin(UINT id) {
    return base::Bitmap(id ? LoadSkinImage(GetModuleHandleW(nullptr), id) : nullptr);
}

// A skinned dialog of one look; it can keep the sizing loop from running (recording the
// command instead).
class Dialog : public ui::SkinnedDialog {
public:
    // The template must outlive the creation.
    Dialog(const Template& t, const Look& look) : ui::SkinnedDialog(t.Get()), m_look(look) {}

    int width = 0, height = 0; // set by the test before creation: the initial window size
    bool interceptSizing = false;
    std::vector<std::pair<WPARAM, LPARAM>> sizeCommands;

    BOOL OnInitDialog() override {
        ui::SkinnedDialog::OnInitDialog();
        if (m_look.icon) {
            m_icon = static_cast<HICON>(
                LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 16, 16, 0));
            SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));
        }
        if (width > 0) {
            SetWindowPos(m_hWnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        SetTitle(m_look.title);
        ui::FrameStyle style;
        style.captionHeight = m_look.caption;
        style.border = m_look.border;
        style.buttonRight = m_look.right;
        style.buttonTop = m_look.top;
        style.buttonGap = m_look.gap;
        style.resizable = m_look.resizable;
        SetStyle(style);
        SetSkin({Skin(m_look.background), Skin(m_look.close), Skin(m_look.minimize), Skin(m_look.maximize),
                 Skin(m_look.restore)},
                {m_look.sizeToBackground, m_look.stretch});
        return TRUE;
    }

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_SYSCOMMAND && interceptSizing && (wParam & 0xFFF0) == SC_SIZE) {
            sizeCommands.emplace_back(wParam, lParam);
            return 0;
        }
        if (msg == WM_NCDESTROY && m_icon) {
            DestroyIcon(m_icon);
            m_icon = nullptr;
        }
        return ui::SkinnedDialog::WindowProc(msg, wParam, lParam);
    }

    // Creates the dialog modeless and shows it without activating it (destroying an active
    // window costs Wine seconds on a display without a window manager).
    bool Open(int x, int y) {
        if (!Create(nullptr)) return false;
        SetWindowPos(m_hWnd, HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        UpdateWindow(m_hWnd);
        return true;
    }

private:
    Look m_look;
    HICON m_icon = nullptr;
};

} // namespace sample
