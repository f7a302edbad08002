// UpdateProgressDialog: the small modal window of the self-update's download, a skinned frame with one
// image progress bar. It runs the signed download as soon as it opens (the file and its signature,
// both covered by the bar's wait and the cancel) and ends with IDOK when the verified file is held,
// IDCANCEL otherwise or when the player closes it.
#pragma once
#include <windows.h>

#include <memory>

#include "net/download_job_win.h"
#include "ui/skinned_dialog_win.h"
#include "ui/skin_progress_win.h"

namespace app {

class UpdateProgressDialog : public ui::SkinnedDialog {
public:
    UpdateProgressDialog();
    ~UpdateProgressDialog() override = default;

    // Runs the dialog modally on this download and waits (bounded) for its threads to let go of
    // the file: true when it ended with IDOK; `held` then holds the verified file.
    bool Download(net::SignedDownload request, net::HeldDownload& held);

protected:
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    // Enter does not close the window: only the download's end or a cancel does.
    void OnOK() override {}
    // Esc, the close button and a close request: no progress and no end from the threads after
    // this, the request's handles closed, IDCANCEL.
    void OnCancel() override;
    // The download thread has ended (reported on this thread, never after a cancel).
    virtual void OnDownloadDone(bool success);

    const ui::SkinProgress& Progress() const { return m_progress; }

private:
    ui::SkinProgress m_progress;
    net::SignedDownload m_request;
    std::shared_ptr<net::HeldDownload> m_held;
    net::DownloadJob m_job;
};

} // namespace app
