// The statistics ping: one short worker thread per ping, and the two manual-reset events
// through which the starting thread learns that the address was taken and that the request
// is over.
#pragma once
#include <windows.h>

#include <string>

#include "base/handle_win.h"

namespace net {

// PingStarted and PingFinished: owned by the application object for the life of the process.
class PingEvents {
public:
    // Creates both events: manual reset, not signalled, unnamed. False when either fails.
    bool Create();
    HANDLE Started() const { return m_started.Get(); }
    HANDLE Finished() const { return m_finished.Get(); }
    void Close() {
        m_started.Reset();
        m_finished.Reset();
    }

private:
    base::Handle m_started;
    base::Handle m_finished;
};

// Starts a worker that pings the address (HttpPing) and returns once the worker has copied
// it (PingStarted set, then reset here), so the caller may discard its text. PingFinished is
// set when the request is over and never reset. False when the worker could not be started:
// PingFinished is then set at once (nothing will run). Every way out leaves PingStarted reset,
// so that the next ping waits for its own worker's copy.
bool SendStatPing(const std::wstring& url, const PingEvents& events);

} // namespace net
