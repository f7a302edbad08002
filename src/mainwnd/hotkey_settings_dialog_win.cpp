#include "mainwnd/hotkey_settings_dialog_win.h"

#include "base/hotkey_win.h"
#include "base/product.h"
#include "mainwnd/hotkey_hook_win.h"
#include "resource.h"
#include "ui/skinned_message_box_win.h"
#include "ui/skin_image_win.h"

namespace mainwnd {

namespace {

constexpr wchar_t kConflictText[] = L"热键冲突，请重新设置不同热键值";
constexpr COLORREF kGroupBackground = RGB(231, 241, 247);
constexpr int kEditIds[base::kHotkeyCount] = {IDC_SET_BOSS_EDIT, IDC_SET_SWITCH_EDIT, IDC_SET_SOUND_EDIT};
constexpr int kGroupIds[] = {IDC_SET_BOSS_GROUP, IDC_SET_SWITCH_GROUP, IDC_SET_SOUND_GROUP};

HotkeySettingsDialog* g_openDlg = nullptr;

base::HotkeyRole RoleAt(int index) {
    return static_cast<base::HotkeyRole>(index);
}

} // namespace

HotkeySettingsDialog::HotkeySettingsDialog(HWND parent, ui::MessageBoxFunction messageBox)
    : ui::SkinnedDialog(IDD, parent), m_messageBox(std::move(messageBox)) {
}

HotkeySettingsDialog::~HotkeySettingsDialog() {
    if (g_openDlg == this) g_openDlg = nullptr;
}

HotkeySettingsDialog* HotkeySettingsDialog::Open() {
    return g_openDlg;
}

void HotkeySettingsDialog::DoDataExchange() {
    ui::SkinnedDialog::DoDataExchange();
    for (int i = 0; i < base::kHotkeyCount; ++i)
        DDX_Control(kEditIds[i], m_keyEdits[i]);
    DDX_Control(IDC_SET_BOSS_PROMPT, m_bossPrompt);
    DDX_Control(IDC_SET_BOSS_EXAMPLE, m_bossExample);
    DDX_Control(IDC_SET_SWITCH_PROMPT, m_switchPrompt);
    DDX_Control(IDC_SET_SWITCH_EXAMPLE, m_switchExample);
    DDX_Control(IDC_SET_SOUND_PROMPT, m_soundPrompt);
    DDX_Control(IDC_SET_SOUND_EXAMPLE, m_soundExample);
    DDX_Control(IDOK, m_okButton);
    DDX_Control(IDCANCEL, m_cancelButton);
}

BOOL HotkeySettingsDialog::OnInitDialog() {
    ui::SkinnedDialog::OnInitDialog();
    g_openDlg = this;
    SetPopupSkin();
    const HINSTANCE self = ::GetModuleHandleW(nullptr);
    SetTitle(L"设置");
    base::Bitmap strip(LoadSkinImage(self, IDB_BTN_TEXT));
    m_okButton.SetImage(strip.Get(), TRUE);
    m_cancelButton.SetImage(strip.Get(), TRUE);
    m_groupBrush.Reset(::CreateSolidBrush(kGroupBackground));

    for (int i = 0; i < base::kHotkeyCount; ++i) {
        const base::HotkeySpec key = base::LoadHotkey(RoleAt(i));
        m_keyCodes[i] = key.code;
        m_keyEdits[i].SetWindowText(base::FormatHotkey(key).c_str());
    }
    return TRUE;
}

int HotkeySettingsDialog::FocusedEdit() const {
    const HWND focus = ::GetFocus();
    for (int i = 0; i < base::kHotkeyCount; ++i)
        if (focus && focus == m_keyEdits[i].m_hWnd) return i;
    return -1;
}

BOOL HotkeySettingsDialog::PreTranslateMessage(MSG* msg) {
    const auto virtualKey = static_cast<std::uintptr_t>(msg->wParam);
    if (!base::IsExaminedKeyMessage(msg->message, virtualKey))
        return ui::SkinnedDialog::PreTranslateMessage(msg);
    if (base::IsSwallowedDialogKey(virtualKey)) return TRUE;
    const int index = FocusedEdit();
    if (index < 0) return ui::SkinnedDialog::PreTranslateMessage(msg);

    const base::CapturedKey captured =
        base::CaptureKey(RoleAt(index), static_cast<int>(virtualKey), base::CurrentModifierMask());
    if (captured.code) m_keyCodes[index] = *captured.code;
    const HWND edit = m_keyEdits[index].m_hWnd;
    ::SetWindowTextW(edit, captured.text.c_str());
    const auto end = static_cast<WPARAM>(captured.text.size());
    ::SendMessageW(edit, EM_SETSEL, end, static_cast<LPARAM>(end));
    ::SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    // The edit never sees the key, so it never types a character of its own.
    return TRUE;
}

void HotkeySettingsDialog::OnOK() {
    std::array<std::wstring, base::kHotkeyCount> texts;
    for (int i = 0; i < base::kHotkeyCount; ++i)
        texts[i] = m_keyEdits[i].GetWindowText();
    const base::SavePlan plan = base::PlanHotkeySave(texts, m_keyCodes);
    if (plan.conflict) {
        m_messageBox(m_hWnd, kConflictText, base::kAppTitle, MB_OK);
        return;
    }
    for (int i = 0; i < base::kHotkeyCount; ++i)
        if (plan.writes[i]) base::SaveHotkey(RoleAt(i), *plan.writes[i]); // a failed write goes unreported
    NotifyHotkeysChanged();
    ui::SkinnedDialog::OnOK();
}

LRESULT HotkeySettingsDialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CTLCOLORSTATIC: {
        const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        for (int group : kGroupIds) {
            if (id != group) continue;
            const HDC dc = reinterpret_cast<HDC>(wParam);
            ::SetBkMode(dc, TRANSPARENT);
            ::SetTextColor(dc, RGB(0, 0, 0));
            return reinterpret_cast<LRESULT>(m_groupBrush.Get());
        }
        break;
    }
    case WM_NCDESTROY:
        if (g_openDlg == this) g_openDlg = nullptr;
        break;
    default:
        break;
    }
    return ui::SkinnedDialog::WindowProc(msg, wParam, lParam);
}

void CancelSettingsDialog() {
    HotkeySettingsDialog* dlg = HotkeySettingsDialog::Open();
    if (dlg && dlg->IsWindow() && ::IsWindowVisible(dlg->m_hWnd)) dlg->EndDialog(IDCANCEL);
}

} // namespace mainwnd
