#include "mainwnd/page_process_win.h"

#include <algorithm>
#include <string>

#include "base/trace_win.h"
#include "fw/message_loop_win.h"

namespace mainwnd {

namespace {

VOID CALLBACK OnProcessEnded(PVOID window, BOOLEAN /*timedOut*/) {
    ::PostMessageW(static_cast<HWND>(window), PageProcessWatch::kEndedMessage, 0, 0);
}

bool ProcessRuns(DWORD id) {
    if (id == ::GetCurrentProcessId()) return true;
    base::Handle process(::OpenProcess(SYNCHRONIZE, FALSE, id));
    return process && ::WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT;
}

struct HoldSearch {
    HWND owner;
    HWND except;
    bool found;
};

BOOL CALLBACK FindHoldingDialog(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<HoldSearch*>(param);
    if (hwnd == search->except || ::GetWindow(hwnd, GW_OWNER) != search->owner || !::IsWindowVisible(hwnd) ||
        !IsDialogClass(hwnd))
        return TRUE;
    DWORD process = 0;
    ::GetWindowThreadProcessId(hwnd, &process);
    search->found = ProcessRuns(process);
    return !search->found;
}

// The full path of the image a process runs; empty when it can't be read.
std::wstring ImagePath(HANDLE process) {
    wchar_t path[1024];
    DWORD size = ARRAYSIZE(path);
    return ::QueryFullProcessImageNameW(process, 0, path, &size) ? std::wstring(path, size) : std::wstring();
}

} // namespace

ProcessId PageProcessWatch::Add(base::Handle process, HWND notify) {
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
    else
        base::Trace(L"page process end not watched", ::GetLastError());
    m_entries.push_back(std::move(entry));
    return id;
}

bool PageProcessWatch::Holds(ProcessId id) const {
    return id != 0 &&
           std::any_of(m_entries.begin(), m_entries.end(), [id](const Entry& e) { return e.id == id; });
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

bool HeldByDialog(HWND window, HWND except) {
    HoldSearch search{window, except, false};
    ::EnumWindows(&FindHoldingDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool RunsThisProgram(DWORD process) {
    base::Handle other(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process));
    if (!other) return false;
    const std::wstring path = ImagePath(other.Get()), own = ImagePath(::GetCurrentProcess());
    return !path.empty() && ::CompareStringOrdinal(path.c_str(), static_cast<int>(path.size()), own.c_str(),
                                                   static_cast<int>(own.size()), TRUE) == CSTR_EQUAL;
}

} // namespace mainwnd
