// The page processes of the main window: the watch over their lives, and what the window does
// when one ends.
#include "mainwnd/page_process_win.h"

#include <algorithm>

#include "fw/dialog_win.h"
#include "mainwnd/main_dlg_win.h"

namespace mainwnd {

namespace {

VOID CALLBACK OnProcessEnded(PVOID window, BOOLEAN /*timedOut*/) {
    ::PostMessageW(static_cast<HWND>(window), PageProcessWatch::kEndedMessage, 0, 0);
}

} // namespace

ProcessId PageProcessWatch::Add(fw::Handle process, HWND notify) {
    const ProcessId id = process ? ::GetProcessId(process.Get()) : 0;
    if (id == 0) return 0;
    Entry entry;
    entry.id = id;
    entry.process = std::move(process);
    HANDLE wait = nullptr;
    // Without a registered wait the process is still held: its end is then seen with the next
    // one that is reported.
    if (::RegisterWaitForSingleObject(&wait, entry.process.Get(), &OnProcessEnded, notify, INFINITE,
                                      WT_EXECUTEONLYONCE))
        entry.wait.Reset(wait);
    m_entries.push_back(std::move(entry));
    return id;
}

std::vector<ProcessId> PageProcessWatch::CollectEnded() {
    std::vector<ProcessId> ended;
    std::erase_if(m_entries, [&](const Entry& e) {
        if (::WaitForSingleObject(e.process.Get(), 0) != WAIT_OBJECT_0) return false;
        ended.push_back(e.id);
        return true;
    });
    return ended;
}

void PageProcessWatch::Terminate(const std::vector<ProcessId>& ids) {
    for (const Entry& e : m_entries)
        if (std::find(ids.begin(), ids.end(), e.id) != ids.end()) ::TerminateProcess(e.process.Get(), 0);
}

} // namespace mainwnd

// ---- CTollgate3Dlg ----------------------------------------------------------------------------

void CTollgate3Dlg::WatchPageProcess(fw::Handle process) {
    m_model.PageProcessStarted(m_pageProcesses.Add(std::move(process), m_hWnd));
}

void CTollgate3Dlg::OnPageProcessEnded() {
    const std::vector<mainwnd::ProcessId> ended = m_pageProcesses.CollectEnded();
    if (ended.empty()) return;
    for (mainwnd::ProcessId id : ended)
        m_model.PageProcessEnded(id);
    // A login runs as a modal dialog over this window from its own process: ended by anything
    // but its own dialog's end, it never gives the window back.
    if (!::IsWindowEnabled(m_hWnd) && !OwnedDialogOpen()) ::EnableWindow(m_hWnd, TRUE);
}

namespace {
struct OwnedDialogSearch {
    HWND owner;
    HWND except;
    bool found;
};
BOOL CALLBACK FindOwnedDialog(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<OwnedDialogSearch*>(param);
    if (hwnd != search->except && ::GetWindow(hwnd, GW_OWNER) == search->owner && ::IsWindowVisible(hwnd) &&
        ::IsWindowEnabled(hwnd) && CDialog::IsDialogClass(hwnd)) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}
} // namespace

// A dialog still open over this window (another login, or a modal dialog of this process) keeps
// it disabled until that dialog ends; the add-account prompt is modeless and holds nothing.
bool CTollgate3Dlg::OwnedDialogOpen() const {
    OwnedDialogSearch search{m_hWnd, m_addAccDlg ? m_addAccDlg->m_hWnd : nullptr, false};
    ::EnumWindows(&FindOwnedDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
