#include "web/gm_page_state_win.h"

#include <vector>

#include "base/trace_win.h"
#include "fw/shell_open_win.h"
#include "net/publisher_win.h"
#include "ui/skinned_message_box_win.h"
#include "web/game_download_dialog_win.h"
#include "web/favourite_dialog_win.h"

namespace web {

namespace {

bool ShellOpen(const std::wstring& url) {
    return fw::OpenAsPlayer(url, SW_SHOW);
}

bool StartProgram(const std::wstring& path) {
    // The path names the program explicitly: an unquoted path with spaces must not let the
    // system try shorter prefixes of it as programs. It is also the whole command line.
    std::vector<wchar_t> commandLine(path.begin(), path.end());
    commandLine.push_back(L'\0');
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, IDLE_PRIORITY_CLASS,
                          nullptr, nullptr, &si, &pi)) {
        base::Trace(L"program not started", path, ::GetLastError());
        return false;
    }
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return true;
}

} // namespace

std::wstring HallPageUrl() {
    return net::PublisherUrl(net::PublisherSite::Client, L"/webgame.htm");
}

std::wstring DefaultHallUrl() {
    return net::PublisherUrl(net::PublisherSite::Hall, L"/");
}

std::wstring LoginPageUrl() {
    return net::PublisherUrl(net::PublisherSite::WebGame, L"/games/tn/dlq/index.html");
}

PageSeams& Seams() {
    static PageSeams seams{ShowMessageBox, ShellOpen, StartProgram, RunGameDownloadDialog,
                           RunFavouritesDialog};
    return seams;
}

} // namespace web
