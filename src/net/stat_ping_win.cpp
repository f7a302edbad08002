#include "net/stat_ping_win.h"

#include "base/trace.h"
#include "base/trace_win.h"
#include "net/http_win.h"

namespace net {

bool PingEvents::Create() {
    m_started = base::Handle(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    m_finished = base::Handle(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    return m_started && m_finished;
}

namespace {

struct PingStart {
    const wchar_t* url;
    HANDLE started;
    HANDLE finished;
};

DWORD WINAPI PingWorker(void* param) {
    const auto* start = static_cast<const PingStart*>(param);
    // The address buffer holds 511 characters.
    const std::wstring url(start->url, wcsnlen(start->url, 511));
    // A launch does not wait for the end of its ping: the application may close its events
    // while the request still runs, so the worker signals the end through its own handle.
    HANDLE finished = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), start->finished, GetCurrentProcess(), &finished, 0, FALSE,
                         DUPLICATE_SAME_ACCESS)) {
        // Without a copy the end can't be told later: it is told now, while the event surely
        // stays open, so that no wait for this ping is left without an end. The request still goes
        // out, though a one-shot start may end before it is over.
        finished = nullptr;
        SetEvent(start->finished);
    }
    SetEvent(start->started); // from here on *start may be gone
    if (!HttpPing(url)) base::Trace(L"statistics ping not sent", base::AddressForTrace(url), GetLastError());
    if (finished) {
        SetEvent(finished);
        CloseHandle(finished);
    }
    return 0;
}

} // namespace

bool SendStatPing(const std::wstring& url, const PingEvents& events) {
    const HANDLE started = events.Started(), finished = events.Finished();
    base::Handle thread;
    PingStart start{url.c_str(), started, finished};
    if (started) thread.Reset(CreateThread(nullptr, 0, &PingWorker, &start, 0, nullptr));
    if (!thread) {
        base::Trace(L"statistics ping: thread not started", started ? GetLastError() : ERROR_INVALID_HANDLE);
        // Whoever waits for the end of this ping (a one-shot mode before it exits) goes on.
        if (finished) SetEvent(finished);
        return false;
    }
    WaitForSingleObject(started, INFINITE);
    ResetEvent(started);
    return true;
}

} // namespace net
