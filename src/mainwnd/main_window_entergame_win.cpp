// The main game window's road to another game's client: a page's "entergame" request taken,
// then settled once the page has its answer: the installed client started, or the download
// offered.
#include "mainwnd/main_window_win.h"

#include <algorithm>
#include <utility>

#include "base/page_protocol.h"
#include "base/trace_win.h"
#include "base/user_folder_win.h"
#include "mainwnd/game_client_win.h"
#include "mainwnd/game_download_dialog_win.h"
#include "mainwnd/main_messages.h"
#include "net/game_client_rules.h"

namespace mainwnd {

namespace {

constexpr wchar_t kHallCaption[] = L"VexaEmber游戏大厅";
constexpr wchar_t kDownloadQuestion[] = L"下载Ember登录器，玩游戏更加方便快捷，现在就去下载吧？";

} // namespace

LRESULT MainWindow::OnEnterGameRequest(HWND sender, DWORD process, const COPYDATASTRUCT& data) {
    // Only a name, read as bounded as a label, from a page this window shows and whose process
    // announced it; the path, the question and the start are this window's own.
    const std::optional<std::wstring> name = base::ParseGameNameCopyData(data.lpData, data.cbData);
    const std::optional<std::wstring> client =
        name && sender ? m_model.TakeEnterGame(process, ToPage(sender), *name) : std::nullopt;
    if (!client) {
        base::Trace(L"entergame request refused", 0);
        return 0;
    }
    m_enterGamePage = sender;
    m_enterGameClient = *client;
    // The question and the download are modal: the page's message is answered first.
    PostMessage(WM_SETTLEENTERGAME, 0, 0);
    return 1;
}

void MainWindow::SettleEnterGame() {
    const HWND page = std::exchange(m_enterGamePage, nullptr);
    const std::wstring client = std::move(m_enterGameClient);
    bool declined = false;
    if (const auto path = net::GameClientPath(base::CommonAppDataFolder(), client)) {
        // Held from the check to the start: nobody can change or swap the file in between. A
        // client that fails the check is offered for download like a missing one.
        base::Handle held;
        if (HoldInstalledClient(*path, held) == ClientCheck::Held)
            m_options.startClient(held.Get()); // a client that does not start is nothing more (traced)
        else if (m_options.messageBox(m_hWnd, kDownloadQuestion, kHallCaption, MB_OKCANCEL) == IDOK)
            RunGameDownloadDialog(m_hWnd, client, m_options.startClient);
        else
            declined = true;
    }
    m_model.EnterGameSettled();
    const auto& pages = m_model.Pages();
    const bool stillShown = page && (ToPage(page) == m_model.Hall() ||
                                     std::find(pages.begin(), pages.end(), ToPage(page)) != pages.end());
    if (stillShown) ::PostMessageW(page, base::WM_ENTERGAMEDONE, declined ? 1 : 0, 0);
}

} // namespace mainwnd
