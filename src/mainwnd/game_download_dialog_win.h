// GameDownloadDialog: the game client download dialog. It fetches a game's update configuration from
// the publisher, downloads the client program that the configuration names with a bar and a
// percentage label, and starts it; its title tells how it went.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "base/handle_win.h"
#include "mainwnd/game_client_win.h"
#include "net/download_job_win.h"
#include "ui/skin_button_win.h"
#include "ui/skin_label_win.h"
#include "ui/skin_progress_win.h"
#include "ui/skinned_dialog_win.h"

namespace mainwnd {

class GameDownloadDialog : public ui::SkinnedDialog {
public:
    // What the worker came to.
    enum class Outcome { ConfigFailed, DownloadFailed, Downloaded };

    // startClient starts the verified client while the dialog holds it.
    GameDownloadDialog(std::wstring gameName, HWND parent, ClientStart startClient = StartHeldClient);
    ~GameDownloadDialog() override;

    // The game's configuration address and the client's file, made when the dialog opens;
    // empty until then and without a usable game name.
    const std::wstring& ConfigUrl() const { return m_configUrl; }
    const std::wstring& LocalFile() const { return m_localFile; }

protected:
    void DoDataExchange() override;
    // Esc never reaches the dialog.
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnInitDialog() override;
    // Button 1 (or Enter while it is enabled).
    void OnOK() override;
    // Closing goes through End: button 2 and the close request.
    void OnCancel() override {}
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // On this thread, never after the dialog has ended.
    virtual void OnProgress(uint32_t percent);
    virtual void OnWorkDone(Outcome outcome);

    // Every way out: the worker's requests are cut off and the dialog waits (bounded) until it
    // has stopped, so that no progress and no title change follow; the download is removed.
    void End(INT_PTR result);

    bool Working() const { return m_job.Running(); }
    const ui::SkinProgress& Progress() const { return m_progress; }
    const ui::SkinLabel& PercentLabel() const { return m_percentLabel; }

private:
    void RemoveDownload();

    ui::SkinProgress m_progress;
    ui::SkinButton m_okButton;
    ui::SkinButton m_cancelButton;
    ui::SkinLabel m_percentLabel;

    const std::wstring m_game;
    const ClientStart m_startClient;
    // The self-update's configuration address, from which the game's is made.
    const std::wstring m_selfConfigUrl;
    std::wstring m_configUrl;
    std::wstring m_localFile;
    net::DownloadJob m_job;
    std::wstring m_folder; // the download's private folder, empty until made
    // The verified client, held by the worker's check until it has been started.
    std::shared_ptr<base::Handle> m_heldClient = std::make_shared<base::Handle>();
    bool m_removed = false;
};

// Runs the download dialog for a game modally over owner.
void RunGameDownloadDialog(HWND owner, const std::wstring& gameName,
                           ClientStart startClient = StartHeldClient);

} // namespace mainwnd
