// UpdateProgressDialog: the small modal window of the self-update's download, a skinned frame with one
// image progress bar. It downloads its source into its destination as soon as it opens and
// ends with IDOK when the whole file is there, IDCANCEL otherwise or when the player closes it.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

#include "net/download_job_win.h"
#include "ui/skinned_dialog_win.h"
#include "ui/skin_progress_win.h"

class UpdateProgressDialog : public SkinnedDialog {
public:
    UpdateProgressDialog();
    ~UpdateProgressDialog() override = default;

    // Runs the dialog modally on this source (at most 511 characters are used) and destination
    // (at most 259) and waits (bounded) for its threads to let go of the file: true when it
    // ended with IDOK.
    bool Download(std::wstring_view url, std::wstring_view path);

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

    const SkinProgress& Progress() const { return m_progress; }

private:
    SkinProgress m_progress;
    std::wstring m_strSource;
    std::wstring m_strDest;
    net::DownloadJob m_job;
};
