#include "mainwnd/game_download_dialog_win.h"

#include "base/trace.h"
#include "base/trace_win.h"
#include "fw/safe_file_win.h"
#include "mainwnd/game_client_win.h"
#include "net/game_download_rules.h"
#include "net/http_win.h"
#include "net/publisher_win.h"
#include "net/signed_download_win.h"
#include "net/update_config.h"
#include "resource.h"
#include "ui/skin_image_win.h"

namespace mainwnd {

namespace {

constexpr DWORD kChunk = 1024;
constexpr DWORD kStopWaitMs = 10000; // a cancelled job ends its waits sooner (DownloadJob)
// The system and administrators alone, inherited by what is made inside.
constexpr wchar_t kPrivateFolderSddl[] = L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

// The client is started with this program's rights, an administrator's. So it is downloaded
// into a fresh folder that only administrators and the system may change, below the system's
// own temporary folder: neither the environment (which names the player's temporary folder) nor
// another program of the player's can choose or swap what is started.
std::wstring MakePrivateFolder() {
    wchar_t windows[MAX_PATH] = {};
    const UINT n = ::GetSystemWindowsDirectoryW(windows, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    fw::SecurityDescriptor descriptor(kPrivateFolderSddl);
    if (!descriptor) return {};
    const std::wstring stem = std::wstring(windows) + L"\\Temp\\TnVexa" +
                              std::to_wstring(::GetCurrentProcessId()) + L"-" +
                              std::to_wstring(::GetTickCount());
    std::wstring made;
    // A folder of that name made by someone else is never used: it could carry their rights.
    for (int i = 0; i < 16 && made.empty(); ++i) {
        const std::wstring path = stem + L"-" + std::to_wstring(i);
        if (::CreateDirectoryW(path.c_str(), descriptor.Attributes()))
            made = path;
        else if (::GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    if (made.empty()) base::Trace(L"client download: private folder not made", stem, ::GetLastError());
    return made;
}

// Deletes a file or an empty folder now, or at the next restart when it is still in use (the
// started client may still run from it).
void RemoveNowOrAtRestart(const std::wstring& path, bool folder) {
    if (path.empty()) return;
    const BOOL removed = folder ? ::RemoveDirectoryW(path.c_str()) : ::DeleteFileW(path.c_str());
    if (removed) return;
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
        ::MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

// A file of this run's own in the private folder: GetTempFileName creates it under a name that
// did not exist, so deleting it afterwards never takes a file that someone else made.
std::wstring MakeConfigFile(const std::wstring& folder) {
    wchar_t path[MAX_PATH] = {};
    if (folder.empty() || ::GetTempFileNameW(folder.c_str(), L"cfg", 0, path) == 0) return {};
    return path;
}

} // namespace

GameDownloadDialog::GameDownloadDialog(std::wstring gameName, HWND parent, ClientStart startClient)
    : ui::SkinnedDialog(IDD_DOWN_GAME, parent), m_game(std::move(gameName)),
      m_startClient(std::move(startClient)),
      m_selfConfigUrl(net::PublisherUrl(net::PublisherSite::Client, net::kUpdateConfigPath)) {
}

GameDownloadDialog::~GameDownloadDialog() {
    m_job.Cancel();
    // A worker that outlives the wait may still store its verified client: that hold stays with
    // the worker's own copy and ends with it, so this thread never touches it meanwhile.
    if (!m_job.Wait(kStopWaitMs)) m_heldClient = std::make_shared<base::Handle>();
    RemoveDownload();
}

void GameDownloadDialog::DoDataExchange() {
    ui::SkinnedDialog::DoDataExchange();
    DDX_Control(IDC_DOWN_PROGRESS, m_progress);
    DDX_Control(IDOK, m_okButton);
    DDX_Control(IDCANCEL, m_cancelButton);
    DDX_Control(IDC_DOWN_PERCENT, m_percentLabel);
}

BOOL GameDownloadDialog::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) return TRUE;
    return ui::SkinnedDialog::PreTranslateMessage(msg);
}

BOOL GameDownloadDialog::OnInitDialog() {
    ui::SkinnedDialog::OnInitDialog();
    SetPopupSkin();
    SetTitle(L"游戏下载中...");
    const HINSTANCE self = ::GetModuleHandleW(nullptr);

    // Without a usable name there is nothing to fetch: the dialog waits to be closed.
    if (!net::IsGameName(m_game)) return TRUE;
    m_folder = MakePrivateFolder();
    const auto places = net::GameDownloadPlacesFor(m_selfConfigUrl, m_folder, m_game);
    if (!places) {
        RemoveDownload();
        return TRUE;
    }
    m_configUrl = places->configUrl;
    m_localFile = places->clientFile;

    auto held = m_heldClient;
    auto fetch = [p = *places, folder = m_folder, held](net::HttpRequestHandles& handles,
                                                        const net::FetchProgress& progress) {
        // Without its private folder nothing is fetched at all.
        const std::wstring configFile = MakeConfigFile(folder);
        if (configFile.empty()) {
            base::Trace(L"client download: configuration file not made", ::GetLastError());
            return Outcome::ConfigFailed;
        }
        const bool fetched =
            net::HttpFetchToFile(p.configUrl, configFile, kChunk, nullptr, &handles, net::kMaxConfigBytes);
        const std::wstring found = fetched ? net::ReadDownloadAddress(configFile) : std::wstring();
        ::DeleteFileW(configFile.c_str());
        if (!fetched) return Outcome::ConfigFailed;
        // The client runs with this program's rights: only the bytes the publisher signed for this
        // game, held from their creation until it is started.
        net::SignedDownload request;
        request.source = found;
        request.destination = p.clientFile;
        request.signedName = p.clientFile.substr(p.clientFile.rfind(L'\\') + 1);
        request.chunk = kChunk;
        request.use = net::HeldFor::Start;
        net::HeldDownload client;
        if (!net::FetchSigned(request, handles, progress, client)) return Outcome::DownloadFailed;
        *held = std::move(client.file);
        return Outcome::Downloaded;
    };
    // The job carries the outcome as a number, there and back.
    net::DownloadJob::Work work = [fetch](net::HttpRequestHandles& handles,
                                          const net::FetchProgress& progress) {
        return static_cast<int>(fetch(handles, progress));
    };
    const bool started = m_job.Start(
        std::move(work), [this](uint32_t percent) { OnProgress(percent); },
        [this](int outcome) { OnWorkDone(static_cast<Outcome>(outcome)); });

    ::EnableWindow(m_okButton.m_hWnd, FALSE);
    base::Bitmap strip(LoadSkinImage(self, IDB_BTN_TEXT)); // the buttons keep their own frames
    m_okButton.SetImage(strip.Get(), TRUE);
    m_cancelButton.SetImage(strip.Get(), TRUE);
    m_percentLabel.SetText({});
    m_percentLabel.Invalidate(TRUE);
    ui::LabelStyle percentStyle;
    percentStyle.textColour = RGB(72, 81, 86);
    percentStyle.fontHeight = 16;
    m_percentLabel.SetStyle(percentStyle);
    m_progress.SetImages(LoadSkinImage(self, IDB_PROGRESS_BACK), LoadSkinImage(self, IDB_PROGRESS_FILL));
    // Without its worker the dialog would wait for nothing.
    if (!started) OnWorkDone(Outcome::ConfigFailed);
    return TRUE;
}

void GameDownloadDialog::OnProgress(uint32_t percent) {
    m_progress.SetPos(static_cast<int>(percent));
    m_percentLabel.SetText(net::DownloadLabelText(percent));
    m_percentLabel.Invalidate(TRUE);
}

void GameDownloadDialog::OnWorkDone(Outcome outcome) {
    if (outcome == Outcome::ConfigFailed) {
        // Only button 2 or the close button leave this state.
        SetTitle(L"下载失败");
        RemoveDownload();
        return;
    }
    if (outcome == Outcome::Downloaded) m_startClient(m_heldClient->Get());
    SetTitle(outcome == Outcome::Downloaded ? L"下载完成" : L"下载失败");
    RemoveDownload();
    ::EnableWindow(m_okButton.m_hWnd, TRUE);
    ::EnableWindow(m_cancelButton.m_hWnd, FALSE);
}

void GameDownloadDialog::OnOK() {
    // Button 1 is disabled while the worker runs; Enter then does nothing either.
    if (::IsWindowEnabled(m_okButton.m_hWnd)) End(IDOK);
}

LRESULT GameDownloadDialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if ((msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL && HIWORD(wParam) == BN_CLICKED) ||
        msg == WM_CLOSE) {
        End(IDCANCEL);
        return 0;
    }
    return ui::SkinnedDialog::WindowProc(msg, wParam, lParam);
}

void GameDownloadDialog::End(INT_PTR result) {
    // Closing the request's handles makes the worker's next read fail; a thread killed instead
    // could leave the heap's lock held and the file open.
    m_job.Cancel();
    if (m_job.Wait(kStopWaitMs)) RemoveDownload();
    EndDialog(result);
}

void GameDownloadDialog::RemoveDownload() {
    m_heldClient->Reset(); // a started client keeps its own hold on the file
    if (m_removed) return;
    m_removed = true;
    RemoveNowOrAtRestart(m_localFile, false);
    RemoveNowOrAtRestart(m_folder, true);
}

void RunGameDownloadDialog(HWND owner, const std::wstring& gameName, ClientStart startClient) {
    GameDownloadDialog dlg(gameName, owner, std::move(startClient));
    dlg.DoModal();
}

} // namespace mainwnd
