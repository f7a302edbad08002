#include "fw/dialog_win.h"

#include "base/trace_win.h"
#include "fw/message_loop_win.h"

CDialog::CDialog(UINT templateId, HWND parent) : m_nIDTemplate(templateId), m_hWndParent(parent) {
}

CDialog::CDialog(const DLGTEMPLATE* dialogTemplate, HWND parent)
    : m_lpTemplate(dialogTemplate), m_hWndParent(parent) {
}

UINT CDialog::EndMessage() {
    // A registered message cannot collide with the DM_* messages dialogs use in WM_USER.
    static const UINT message = ::RegisterWindowMessageW(L"TnVexa.fw.EndDialog");
    return message;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // Every later message reaches the object through its subclass procedure, before the dialog
    // manager; only WM_INITDIALOG is handled here, where the object is bound.
    if (msg != WM_INITDIALOG) return FALSE;
    auto* self = reinterpret_cast<CDialog*>(lParam);
    if (!self || !self->Bind(hwnd, Binding::Dialog)) return FALSE;
    self->m_hWndShared = hwnd;
    return static_cast<INT_PTR>(self->Dispatch(msg, wParam, lParam, true));
}

bool CDialog::CreateFromTemplate() {
    if (m_hWnd) return false;
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    const LPARAM self = reinterpret_cast<LPARAM>(this);
    const HWND hwnd =
        m_lpTemplate
            ? ::CreateDialogIndirectParamW(instance, m_lpTemplate, m_hWndParent, DialogProc, self)
            : ::CreateDialogParamW(instance, MAKEINTRESOURCEW(m_nIDTemplate), m_hWndParent, DialogProc, self);
    if (!hwnd) base::Trace(L"dialog not created", ::GetLastError());
    return hwnd && m_hWnd == hwnd;
}

bool CDialog::Create(HWND parent) {
    if (m_hWnd) return false;
    if (parent) m_hWndParent = parent;
    m_modal = false;
    m_endRequested = false;
    return CreateFromTemplate();
}

INT_PTR CDialog::DoModal() {
    if (m_hWnd) return -1;
    // The owner is the top-level window of the parent; it stays disabled while the dialog runs.
    HWND owner = m_hWndParent ? ::GetAncestor(m_hWndParent, GA_ROOT) : nullptr;
    if (owner == ::GetDesktopWindow()) owner = nullptr;
    const bool enableOwner = owner && ::IsWindowEnabled(owner);
    if (enableOwner) ::EnableWindow(owner, FALSE);

    m_modal = true;
    m_endRequested = false;
    m_result = -1;
    if (!CreateFromTemplate()) {
        if (enableOwner) ::EnableWindow(owner, TRUE);
        m_modal = false;
        return -1;
    }
    if (!m_endRequested) ::ShowWindow(m_hWnd, SW_SHOWNORMAL);

    bool quit = false;
    WPARAM quitCode = 0;
    while (!m_endRequested && m_hWnd) {
        MSG msg;
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            quit = true;
            quitCode = msg.wParam;
            break;
        }
        ProcessMessage(msg);
    }
    const INT_PTR result = m_endRequested ? m_result.load() : -1;

    // The owner comes back before the dialog goes, so that activation returns to it and not
    // to some other application's window. (No separate hide first: destroying hides, and a
    // hide of its own makes Wine wait for the window manager.)
    if (enableOwner) ::EnableWindow(owner, TRUE);
    if (owner && m_hWnd && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(owner);
    if (m_hWnd) DestroyWindow();
    m_modal = false;
    if (quit) ::PostQuitMessage(static_cast<int>(quitCode));
    return result;
}

void CDialog::EndDialog(INT_PTR result) {
    m_result = result;
    m_endRequested = true;
    // Wakes the loop (or, modeless, lets the UI thread destroy the window).
    if (const HWND hwnd = m_hWndShared.load()) ::PostMessageW(hwnd, EndMessage(), 0, 0);
}

bool CDialog::DDX_Control(int id, CWnd& control) {
    const HWND item = ::GetDlgItem(m_hWnd, id);
    if (control.m_hWnd) return control.m_hWnd == item;
    return control.SubclassWindow(item);
}

BOOL CDialog::OnInitDialog() {
    DoDataExchange();
    return TRUE;
}

void CDialog::OnOK() {
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

LRESULT CDialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        // Buttons, menus and Enter/Esc from the dialog manager all arrive as code 0.
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDOK) {
            OnOK();
            return 0;
        }
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return 0;
        }
        break;
    case WM_CLOSE:
        OnCancel();
        return 0;
    case WM_NCDESTROY:
        m_hWndShared = nullptr;
        break;
    default:
        if (msg == EndMessage()) {
            if (!m_modal && m_endRequested) DestroyWindow();
            return 0;
        }
        break;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}

void CButton::DrawItem(DRAWITEMSTRUCT*) {
}

bool CButton::OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (msg == WM_DRAWITEM) {
        DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        *result = TRUE;
        return true;
    }
    return CWnd::OnChildNotify(msg, wParam, lParam, result);
}
