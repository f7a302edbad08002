#include "net/download_job_win.h"

#include <algorithm>
#include <atomic>

#include "base/handle_win.h"
#include "base/trace.h"
#include "base/trace_win.h"
#include "net/http_win.h"

namespace net {

namespace {
constexpr UINT kProgressMsg = WM_APP + 1; // wParam: percent (sent by the download thread)
constexpr UINT kDoneMsg = WM_APP + 2;     // wParam: the outcome (posted by the watcher)
constexpr wchar_t kSinkClass[] = L"TnVexaDownloadSink";
} // namespace

// Lives as long as the job or a thread still needs it: a thread that outlives the job (a read
// that a closed handle did not interrupt) finds its state intact and its window gone.
struct DownloadJob::Shared {
    Work work;
    HWND sink = nullptr;
    HttpRequestHandles handles;
    std::atomic<bool> cancelled{false};
    std::atomic<int> outcome{0};
    base::Handle downloadThread;
    base::Handle watcherThread;
};

namespace {

DWORD WINAPI DownloadThread(void* param) {
    std::unique_ptr<std::shared_ptr<DownloadJob::Shared>> holder(
        static_cast<std::shared_ptr<DownloadJob::Shared>*>(param));
    DownloadJob::Shared& s = **holder;
    // A job whose watcher could not be started is cancelled before this thread runs: nobody
    // would see its outcome, so nothing is fetched.
    if (s.cancelled) return 0;
    uint32_t lastPercent = UINT32_MAX;
    const FetchProgress progress = [&](uint32_t percent, uint64_t, uint32_t) {
        // One message per change of the bar rather than per chunk: the bar shows the same.
        if (percent == lastPercent || s.cancelled) return;
        lastPercent = percent;
        SendMessageW(s.sink, kProgressMsg, percent, 0);
    };
    s.outcome = s.work(s.handles, progress);
    return 0;
}

DWORD WINAPI WatcherThread(void* param) {
    std::unique_ptr<std::shared_ptr<DownloadJob::Shared>> holder(
        static_cast<std::shared_ptr<DownloadJob::Shared>*>(param));
    DownloadJob::Shared& s = **holder;
    WaitForSingleObject(s.downloadThread.Get(), INFINITE);
    if (!s.cancelled) PostMessageW(s.sink, kDoneMsg, static_cast<WPARAM>(s.outcome.load()), 0);
    return 0;
}

bool RegisterSinkClass(WNDPROC proc) {
    static const bool registered = [proc] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kSinkClass;
        return RegisterClassExW(&wc) != 0;
    }();
    return registered;
}

} // namespace

LRESULT CALLBACK DownloadJob::SinkProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* job = reinterpret_cast<DownloadJob*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    // The cancel flag is set on this thread, so this test is exact: a message that was on its
    // way when the owner cancelled is dropped here.
    if (job && job->m_shared && !job->m_shared->cancelled) {
        if (msg == kProgressMsg) {
            if (job->m_onProgress) job->m_onProgress(static_cast<uint32_t>(wParam));
            return 0;
        }
        if (msg == kDoneMsg) {
            if (job->m_onDone) job->m_onDone(static_cast<int>(wParam));
            return 0;
        }
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

DownloadJob::~DownloadJob() {
    Cancel();
    Wait(10000);
    if (m_sink) DestroyWindow(m_sink);
}

bool DownloadJob::Start(SignedDownload request, std::shared_ptr<HeldDownload> held, ProgressFn onProgress,
                        DoneFn onDone) {
    if (!held) return false;
    Work work = [request = std::move(request), held](HttpRequestHandles& handles,
                                                     const FetchProgress& progress) {
        return FetchSigned(request, handles, progress, *held) ? 1 : 0;
    };
    OutcomeFn done;
    if (onDone) done = [onDone = std::move(onDone)](int outcome) { onDone(outcome != 0); };
    return Start(std::move(work), std::move(onProgress), std::move(done));
}

bool DownloadJob::Start(Work work, ProgressFn onProgress, OutcomeFn onDone) {
    if (!work || Running() || !RegisterSinkClass(&SinkProc)) return false;
    if (!m_sink) {
        m_sink = CreateWindowExW(0, kSinkClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        if (!m_sink) {
            base::Trace(L"download: message window not made", GetLastError());
            return false;
        }
        SetWindowLongPtrW(m_sink, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    m_onProgress = std::move(onProgress);
    m_onDone = std::move(onDone);
    m_cancelling = false;
    auto shared = std::make_shared<Shared>();
    shared->work = std::move(work);
    shared->sink = m_sink;
    // Both threads start suspended so that their handles are stored before either runs.
    auto* forDownload = new std::shared_ptr<Shared>(shared);
    shared->downloadThread =
        base::Handle(CreateThread(nullptr, 0, &DownloadThread, forDownload, CREATE_SUSPENDED, nullptr));
    if (!shared->downloadThread) {
        base::Trace(L"download: thread not started", GetLastError());
        delete forDownload;
        return false;
    }
    auto* forWatcher = new std::shared_ptr<Shared>(shared);
    shared->watcherThread =
        base::Handle(CreateThread(nullptr, 0, &WatcherThread, forWatcher, CREATE_SUSPENDED, nullptr));
    if (!shared->watcherThread) {
        base::Trace(L"download: watcher not started", GetLastError());
        delete forWatcher;
        shared->cancelled = true;
        shared->handles.Cancel();
        ResumeThread(shared->downloadThread.Get()); // it sees the cancel and ends at once
        m_shared = std::move(shared);
        return false;
    }
    m_shared = shared;
    ResumeThread(shared->downloadThread.Get());
    ResumeThread(shared->watcherThread.Get());
    return true;
}

void DownloadJob::Cancel() {
    if (!m_shared) return;
    if (!m_cancelling) {
        m_cancelling = true;
        m_cancelledAt = GetTickCount();
    }
    m_shared->cancelled = true;
    m_shared->handles.Cancel();
}

bool DownloadJob::Wait(DWORD timeoutMs) {
    if (!m_shared) return true;
    // The watcher ends after the download thread; without a watcher the download thread is it.
    HANDLE thread = m_shared->watcherThread ? m_shared->watcherThread.Get() : m_shared->downloadThread.Get();
    const DWORD start = GetTickCount();
    if (m_cancelling) {
        const DWORD sinceCancel = start - m_cancelledAt;
        timeoutMs = std::min(timeoutMs, sinceCancel < m_cancelBoundMs ? m_cancelBoundMs - sinceCancel : 0);
    }
    for (;;) {
        const DWORD spent = GetTickCount() - start;
        if (spent > timeoutMs) return false;
        // Sent messages are answered while waiting (the download thread may be inside a
        // SendMessage to the sink); posted ones stay queued for the owner's loop.
        const DWORD r = MsgWaitForMultipleObjects(1, &thread, FALSE, timeoutMs - spent, QS_SENDMESSAGE);
        if (r == WAIT_OBJECT_0) return true;
        if (r != WAIT_OBJECT_0 + 1) return false;
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

bool DownloadJob::Running() const {
    return m_shared && m_shared->watcherThread &&
           WaitForSingleObject(m_shared->watcherThread.Get(), 0) == WAIT_TIMEOUT;
}

bool DownloadJob::Succeeded() const {
    return m_shared && !m_shared->cancelled && m_shared->outcome != 0;
}

} // namespace net
