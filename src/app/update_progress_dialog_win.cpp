#include "app/update_progress_dialog_win.h"

#include "resource.h"
#include "ui/skin_image_win.h"

namespace app {

UpdateProgressDialog::UpdateProgressDialog() : ui::SkinnedDialog(IDD_PRGS) {
}

bool UpdateProgressDialog::Download(net::SignedDownload request, net::HeldDownload& held) {
    m_request = std::move(request);
    m_held = std::make_shared<net::HeldDownload>();
    const INT_PTR result = DoModal();
    // After a cancel the download thread may still be closing the file it wrote; one that
    // outlives the wait keeps its own share of the result, which this thread leaves alone.
    const bool ended = m_job.Wait(10000);
    if (result == IDOK && ended) held = std::move(*m_held);
    m_held.reset();
    return result == IDOK && ended;
}

void UpdateProgressDialog::DoDataExchange() {
    ui::SkinnedDialog::DoDataExchange();
    DDX_Control(IDC_PRGS_PROGRESS, m_progress);
}

BOOL UpdateProgressDialog::OnInitDialog() {
    ui::SkinnedDialog::OnInitDialog();
    SetPopupSkin();
    SetTitle(L"版本更新中...");
    const HINSTANCE self = ::GetModuleHandleW(nullptr);

    RECT rc{};
    ::GetWindowRect(m_hWnd, &rc);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    RECT desktop{};
    ::GetWindowRect(::GetDesktopWindow(), &desktop);
    ::SetWindowPos(m_hWnd, nullptr, desktop.left + (desktop.right - desktop.left - w) / 2,
                   desktop.top + (desktop.bottom - desktop.top - h) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

    m_progress.SetImages(LoadSkinImage(self, IDB_PROGRESS_BACK), LoadSkinImage(self, IDB_PROGRESS_FILL));

    const bool started = m_job.Start(
        m_request, m_held, [this](uint32_t percent) { m_progress.SetPos(static_cast<int>(percent)); },
        [this](bool success) { OnDownloadDone(success); });
    // Without its threads the dialog would wait for nothing: it fails at once.
    if (!started) PostMessage(WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

void UpdateProgressDialog::OnDownloadDone(bool success) {
    EndDialog(success ? IDOK : IDCANCEL);
}

void UpdateProgressDialog::OnCancel() {
    m_job.Cancel();
    EndDialog(IDCANCEL);
}

} // namespace app
