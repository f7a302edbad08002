// A cancellable download on two worker threads: the download thread fetches an address into a
// file, the watcher waits for it and reports the outcome. Progress and outcome reach the owner
// on its own (UI) thread, and never after the owner cancelled.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace net {

class DownloadJob {
public:
    // Called on the thread that started the job, never after Cancel.
    using ProgressFn = std::function<void(uint32_t percent)>;
    using DoneFn = std::function<void(bool success)>;

    DownloadJob() = default;
    ~DownloadJob();
    DownloadJob(const DownloadJob&) = delete;
    DownloadJob& operator=(const DownloadJob&) = delete;

    // From the UI thread: starts the download thread, then the watcher. An untrusted source
    // fails without a request. The file is fetched chunk bytes at a time; onProgress gets the
    // percentage whenever it changes (by a synchronous message, so the caller's thread must
    // pump), onDone the outcome once the download thread has ended. False when a thread could
    // not be started (nothing is reported then).
    bool Start(const std::wstring& source, const std::wstring& destination, DWORD chunk,
               ProgressFn onProgress, DoneFn onDone);

    // From the UI thread: no progress and no outcome are reported after this call; the
    // request's handles are closed so that a pending read fails and the threads end.
    void Cancel();

    // Waits up to timeoutMs for both threads to end, still answering the download thread's
    // synchronous messages meanwhile. True when they have ended (or never started).
    bool Wait(DWORD timeoutMs);

    bool Running() const;
    bool Succeeded() const;

    // Internal state shared with the threads (defined in the .cpp).
    struct Shared;

private:
    std::shared_ptr<Shared> m_shared;
    HWND m_sink = nullptr; // message-only window of the starting thread
    ProgressFn m_onProgress;
    DoneFn m_onDone;

    static LRESULT CALLBACK SinkProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
};

} // namespace net
