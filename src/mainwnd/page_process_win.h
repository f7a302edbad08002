// The page processes a main window started, each held until it ends (the system tells the
// window of an end by a posted message, without any thread of the window's waiting for it), and
// what the window asks of the processes around it.
#pragma once
#include <windows.h>

#include <vector>

#include "base/handle_win.h"
#include "mainwnd/page_model.h"

namespace mainwnd {

class PageProcessWatch {
public:
    // Posted to the window when a watched process may have ended; it then calls CollectEnded.
    // Only a hint: the process handles decide what has ended.
    static constexpr UINT kEndedMessage = WM_APP + 0x40;

    PageProcessWatch() = default;
    PageProcessWatch(const PageProcessWatch&) = delete;
    PageProcessWatch& operator=(const PageProcessWatch&) = delete;

    // Holds the process and has `notify` told when it ends; answers its id (0, with nothing
    // kept, for a handle without a process).
    ProcessId Add(base::Handle process, HWND notify);
    // Whether the process is one of those held (started by the window and not seen ending).
    bool Holds(ProcessId id) const;
    // The ids of the processes that have ended, which are let go.
    std::vector<ProcessId> CollectEnded();
    // Ends the processes with these ids (exit code 0); they are let go once their end is seen.
    void Terminate(const std::vector<ProcessId>& ids);

private:
    struct Entry {
        ProcessId id = 0;
        base::Handle process;
        base::RegisteredWait wait; // declared after the handle: unregistered before it is closed
    };
    std::vector<Entry> m_entries;
};

// A modal dialog runs over `window`, from its own process (a login's screen, a page's
// favourites) or from this one (the settings dialog, disabled while its own message is open):
// the window stays disabled while one it owns is open in a process that still runs. `except` (the
// modeless add-account prompt) holds nothing.
bool HeldByDialog(HWND window, HWND except);
// Whether a process runs this program's executable.
bool RunsThisProgram(DWORD process);

} // namespace mainwnd
