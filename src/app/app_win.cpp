#include "app/app_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <utility>

#include "app/app_roles_win.h"
#include "app/automation_win.h"
#include "app/crash_dump_win.h"
#include "app/install_win.h"
#include "app/settings_win.h"
#include "app/update_entry_win.h"
#include "base/executable_path_win.h"
#include "base/product.h"
#include "fw/process_win.h"
#include "fw/shell_open_win.h"
#include "net/cache_clear_win.h"
#include "net/publisher_win.h"
#include "net/stat_ping.h"
#include "ui/skinned_message_box_win.h"

namespace app {

namespace {

constexpr const wchar_t* kTitle = base::kAppTitle;

} // namespace

void App::Ping(net::StatPing ping) {
    const uint32_t count = IncrementCounter(std::wstring(net::StatPingCounterKey(ping)).c_str());
    // A ping that cannot start sets the end event itself: the one-shot modes' waits end.
    net::SendStatPing(net::StatPingUrl(ping, count, net::PublisherOverride()), m_ping);
}

void App::RelaunchAfterUpdate() {
    fw::StartSelf(L"");
    StoreUpdateTime();
}

BOOL App::InitInstance() {
    const StartMode mode = m_request.mode;
    const bool pageProcess = mode == StartMode::NewGamePage || mode == StartMode::GameHall;
    // A page process runs with the player's rights: the install folder is not its to write.
    InstallCrashFilter(pageProcess ? DumpPlace::PlayerFolder : DumpPlace::BesideExecutable);
    // Automation only: a deliberate fault proves the crash path of the real executable.
    if (AutomationHas(L"crash")) RaiseException(EXCEPTION_ACCESS_VIOLATION, 0, 0, nullptr);

    INITCOMMONCONTROLSEX icc{sizeof(icc), 0xFF};
    InitCommonControlsEx(&icc);

    m_ping.Create();

    if (mode == StartMode::Uninstall) {
        if (ui::ShowMessageBox(nullptr, L"确定要移除 VexaTarn微端吗？", kTitle, MB_YESNO) == IDYES) {
            // The uninstall starts its ping on every path, so this wait always ends.
            UninstallSelf([this] { Ping(net::StatPing::Uninstall); });
            WaitForSingleObject(m_ping.Finished(), INFINITE);
        }
        return FALSE;
    }
    if (mode == StartMode::Update) {
        CheckForUpdate(true);
        if (DownloadAndSwap()) {
            RelaunchAfterUpdate();
            return FALSE;
        }
    } else if (mode == StartMode::Install || mode == StartMode::Shortcut) {
        if (CheckForUpdate(false) && DownloadAndSwap()) {
            RelaunchAfterUpdate();
            return FALSE;
        }
    }

    m_gdiplus = fw::GdiplusSession::Start();

    if (mode == StartMode::Install) {
        InstallSelf();
        ChooseDisableDays();
        Ping(net::StatPing::Install);
        WaitForSingleObject(m_ping.Finished(), INFINITE);
        return FALSE;
    }
    if (mode == StartMode::Channel) {
        const std::wstring home = net::PublisherUrl(net::PublisherSite::Hall, L"/");
        fw::OpenAsPlayer(home, SW_SHOWMAXIMIZED);
        Ping(net::StatPing::Channel);
        WaitForSingleObject(m_ping.Finished(), INFINITE);
        return FALSE;
    }
    if (pageProcess) {
        // The browser's cache limit is the player's setting, which the main window's process
        // has already made; a page needs to change nothing of its own.
        m_pMainWnd = RunPageProcess(m_request, m_ole);
        return m_pMainWnd != nullptr;
    }
    net::SetCacheLimit();
    // The ping's thread and its network library would only delay the login process, whose
    // start is most of the time until the player sees the login page.
    bool activation = mode == StartMode::Shortcut || mode == StartMode::Installed;
    const auto activate = [this, &activation] {
        if (std::exchange(activation, false)) Ping(net::StatPing::Activation);
    };
    RunMainWindow(m_pMainWnd, activate);
    if (activation) { // the main window could not be made: the start still counts
        activate();
        WaitForSingleObject(m_ping.Finished(), INFINITE);
    }
    return FALSE;
}

int App::ExitInstance() {
    // Released here, before the framework's own clean-up.
    m_ping.Close();
    m_gdiplus.Reset();
    m_ole.Reset();
    return CWinApp::ExitInstance();
}

} // namespace app
