// A cancellable download on two worker threads: the download thread fetches a signed file (or
// does a caller's work of one or more requests), the watcher waits for it and reports
// the outcome. Progress and outcome reach the owner on its own (UI) thread, and never after the
// owner cancelled.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "net/http_win.h"
#include "net/signed_download_win.h"

namespace net {

class DownloadJob {
public:
    // Called on the thread that started the job, never after Cancel.
    using ProgressFn = std::function<void(uint32_t percent)>;
    using DoneFn = std::function<void(bool success)>;
    using OutcomeFn = std::function<void(int outcome)>;
    // The download thread's work: its requests go through the job's handle holder, so that a
    // cancel closes them, and report through the progress display; it answers the outcome.
    // It runs on another thread: it must hold its own copies of what it uses.
    using Work = std::function<int(HttpRequestHandles& handles, const FetchProgress& progress)>;

    // How long all waits after a cancel may take together: a connect that closing the handles
    // does not interrupt would otherwise hold every wait of the owner in turn for its full time.
    static constexpr DWORD kDefaultCancelBoundMs = 3000;

    explicit DownloadJob(DWORD cancelBoundMs = kDefaultCancelBoundMs) : m_cancelBoundMs(cancelBoundMs) {}
    ~DownloadJob();
    DownloadJob(const DownloadJob&) = delete;
    DownloadJob& operator=(const DownloadJob&) = delete;

    // From the UI thread: starts the download thread, then the watcher, for a signed download
    // (FetchSigned). onProgress gets the percentage whenever it changes (by a synchronous
    // message, so the caller's thread must pump), onDone the outcome once the download thread
    // has ended; `held` receives the verified file before that. False when a thread could not
    // be started (nothing is reported then).
    bool Start(SignedDownload request, std::shared_ptr<HeldDownload> held, ProgressFn onProgress,
               DoneFn onDone);

    // From the UI thread: the same with the caller's work; onDone gets its outcome.
    bool Start(Work work, ProgressFn onProgress, OutcomeFn onDone);

    // From the UI thread: no progress and no outcome are reported after this call; the
    // request's handles are closed so that a pending read fails and the threads end.
    void Cancel();

    // Waits up to timeoutMs for both threads to end, still answering the download thread's
    // synchronous messages meanwhile; after a cancel, no longer than the rest of the cancel
    // bound that started with it. True when they have ended (or never started); a thread that
    // outlives the wait finds its state intact and reports nothing.
    bool Wait(DWORD timeoutMs);

    bool Running() const;
    // The work's outcome is not 0 and the job was not cancelled.
    bool Succeeded() const;

    // Internal state shared with the threads (defined in the .cpp).
    struct Shared;

private:
    std::shared_ptr<Shared> m_shared;
    HWND m_sink = nullptr; // message-only window of the starting thread
    DWORD m_cancelBoundMs;
    DWORD m_cancelledAt = 0;
    bool m_cancelling = false;
    ProgressFn m_onProgress;
    OutcomeFn m_onDone;

    static LRESULT CALLBACK SinkProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
};

} // namespace net
