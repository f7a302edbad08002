// Folder net/: HTTP, statistics ping, downloads and cache clearing, no windows; may include fw/ and base/.
// The one HTTP GET procedure behind every request the program makes itself (WinINet, fixed
// request attributes): a ping that reads nothing and a fetch into a file, optionally with a
// progress display and with its handles held by an owner that can cancel it.
#pragma once
#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "net/http_url.h"

namespace net {

// The handles of a running request (internet, connection, request), held where another thread
// can reach them: Cancel closes them, which makes a pending read fail and the fetch stop.
// The output file stays with the fetching thread, which closes it as soon as its loop ends;
// closing it from another thread in the middle of a write would corrupt the C runtime's state.
class HttpRequestHandles {
public:
    HttpRequestHandles() = default;
    HttpRequestHandles(const HttpRequestHandles&) = delete;
    HttpRequestHandles& operator=(const HttpRequestHandles&) = delete;

    // From any thread: marks the request cancelled and closes the handles that are set, in the
    // order request, connection, internet.
    void Cancel();
    bool Cancelled() const { return m_cancelled.load(); }

private:
    friend class HttpRequestScope;
    // A request's handles, opened in this order and closed in the reverse one.
    enum class Slot { Internet, Connection, Request };
    static constexpr Slot kClosingOrder[] = {Slot::Request, Slot::Connection, Slot::Internet};
    static constexpr std::size_t kSlots = std::size(kClosingOrder);
    static constexpr std::size_t Index(Slot slot) { return static_cast<std::size_t>(slot); }
    std::atomic<HINTERNET> m_handles[kSlots] = {};
    std::atomic<bool> m_cancelled{false};
};

// Called after each chunk with the percentage, the bytes so far and the announced length.
using FetchProgress = std::function<void(uint32_t percent, uint64_t total, uint32_t contentLength)>;

// Sends the GET and reads nothing: true when the request was sent. Only http addresses
// (scheme in any case) are requested. The thread's last error is that of the failed connect or
// send, 0 on success.
bool HttpPing(std::wstring_view url);

// Fetches the address into the file (truncated first): true when the whole body announced by
// Content-Length was written. Only status 200 counts; a redirect is followed (up to
// kMaxRedirects) only to a trusted host. A missing Content-Length, one above maxBytes, a body
// longer or shorter than announced, a file that can't be opened or a cancel fail; a partial
// file is left in place. A progress display is called for every chunk bytes of the body (and
// with 100 at the end of an empty body), whatever the sizes of the reads; with a handle holder
// the handles live there until the fetch ends.
bool HttpFetchToFile(std::wstring_view url, const std::wstring& path, DWORD chunk,
                     const FetchProgress* progress = nullptr, HttpRequestHandles* handles = nullptr,
                     uint64_t maxBytes = kMaxDownloadBytes);

// Takes each piece of a body as it arrives; false stops the fetch.
using BodyWriter = std::function<bool(const char* data, DWORD size)>;

// Where the next piece of a body is read to, so that a writer may find it where it wants it
// without a copy; an empty buffer stops the fetch.
using BodySpace = std::function<std::span<char>()>;

// The same through a writer: true when the whole announced body was taken. Without a space the
// pieces are read into a buffer of the fetch's own.
bool HttpFetchBody(std::wstring_view url, DWORD chunk, const BodyWriter& write, const FetchProgress* progress,
                   HttpRequestHandles* handles, uint64_t maxBytes, const BodySpace& space = nullptr);

// The same into memory, for small bodies (a signature): true when the whole body arrived.
bool HttpFetchToMemory(std::wstring_view url, std::string& body, uint64_t maxBytes,
                       HttpRequestHandles* handles = nullptr);

// The trusted-domain test with this process's publisher override as a trusted host.
bool IsTrustedUrl(std::wstring_view url);

} // namespace net
