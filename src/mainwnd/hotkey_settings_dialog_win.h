// HotkeySettingsDialog: the hotkey settings dialog. Each of its three edits shows a hotkey and takes the
// next key pressed in it as the new one; OK stores the three (unless two are the same) and tells
// every running main window.
#pragma once
#include <windows.h>

#include <array>

#include "base/hotkey.h"
#include "fw/fw_win.h"
#include "ui/skinned_message_box_win.h"
#include "ui/skin_button_win.h"
#include "ui/skinned_dialog_win.h"
#include "ui/skin_label_win.h"

namespace mainwnd {

class HotkeySettingsDialog : public ui::SkinnedDialog {
public:
    static constexpr UINT IDD = 158;

    // messageBox: how a notice reaches the player.
    explicit HotkeySettingsDialog(HWND parent = nullptr,
                                  ui::MessageBoxFunction messageBox = ui::ShowMessageBox);
    ~HotkeySettingsDialog() override;

    // The settings dialog that is open now, or null.
    static HotkeySettingsDialog* Open();

    // The edit of the boss, window-switch or sound key (index in base::HotkeyRole order).
    HWND KeyEdit(int index) const { return m_keyEdits[static_cast<size_t>(index)].m_hWnd; }

protected:
    void DoDataExchange() override;
    // Key capture: a key pressed in an edit becomes its text; Esc and Enter do nothing.
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnInitDialog() override;
    // Saves the three hotkeys, or complains about two equal ones and stays open.
    void OnOK() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // The index of the edit with the keyboard focus, or -1.
    int FocusedEdit() const;

    // The edits of the boss, window-switch and sound keys, in base::HotkeyRole order.
    const ui::MessageBoxFunction m_messageBox;
    std::array<CWnd, base::kHotkeyCount> m_keyEdits;
    ui::SkinLabel m_bossPrompt, m_bossExample;
    ui::SkinLabel m_switchPrompt, m_switchExample;
    ui::SkinLabel m_soundPrompt, m_soundExample;
    ui::SkinButton m_okButton;
    ui::SkinButton m_cancelButton;
    // Per edit, the key code last captured or loaded (the modifiers are read back from the text).
    std::array<int, base::kHotkeyCount> m_keyCodes{};
    base::Brush m_groupBrush;
};

// Ends the open settings dialog without saving when it is shown (the main window hides).
void CancelSettingsDialog();
} // namespace mainwnd
