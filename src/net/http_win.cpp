#include "net/http_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "base/trace.h"
#include "base/trace_win.h"
#include "net/http_url.h"
#include "net/publisher_win.h"

namespace net {

namespace {
// Always from the server, and never into the URL cache either: a download would otherwise be
// written to disk twice, and the cache would hold a copy of every update and game client.
// The server sees the same request.
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
} // namespace

void HttpRequestHandles::Cancel() {
    m_cancelled.store(true);
    for (Slot slot : kClosingOrder)
        if (HINTERNET h = m_handles[Index(slot)].exchange(nullptr)) InternetCloseHandle(h);
}

// The handles of one request: kept locally or in an owner's holder, and closed in the order
// request, connection, internet when the scope ends, whatever the outcome. Whoever takes a
// handle out of the holder first closes it, so a cancel and the end of the fetch never close
// one twice.
class HttpRequestScope {
    using Slot = HttpRequestHandles::Slot;

public:
    explicit HttpRequestScope(HttpRequestHandles* holder) : m_holder(holder) {}
    HttpRequestScope(const HttpRequestScope&) = delete;
    HttpRequestScope& operator=(const HttpRequestScope&) = delete;
    ~HttpRequestScope() {
        for (Slot slot : HttpRequestHandles::kClosingOrder)
            Drop(slot);
    }

    // Keeps a freshly opened handle; false when it is null or the owner cancelled meanwhile
    // (the cancel then either closed it or it is closed here at the end).
    bool Keep(Slot slot, HINTERNET h) {
        m_local[HttpRequestHandles::Index(slot)] = h;
        if (!h) return false;
        if (!m_holder) return true;
        m_holder->m_handles[HttpRequestHandles::Index(slot)].store(h);
        return !m_holder->Cancelled();
    }
    bool Cancelled() const { return m_holder && m_holder->Cancelled(); }

    // Steps 1 to 4 of every request: open, connect, open the request, send it. Called again
    // for a redirect: the connection and request of the last address are closed first.
    bool Send(const HttpUrlParts& parts, DWORD flags = kRequestFlags) {
        if (!Local(Slot::Internet) &&
            !Keep(Slot::Internet,
                  InternetOpenW(kUserAgent.data(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0)))
            return false;
        Drop(Slot::Request);
        Drop(Slot::Connection);
        if (!Keep(Slot::Connection, InternetConnectW(Local(Slot::Internet), parts.host.c_str(), parts.port,
                                                     nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0)))
            return false;
        if (!Keep(Slot::Request, HttpOpenRequestW(Local(Slot::Connection), L"GET", parts.path.c_str(),
                                                  L"HTTP/1.1", nullptr, nullptr, flags, 0)))
            return false;
        return HttpSendRequestW(Local(Slot::Request), kRequestHeaders.data(),
                                static_cast<DWORD>(kRequestHeaders.size()), nullptr, 0) != FALSE;
    }

    HINTERNET Request() const { return Local(Slot::Request); }

private:
    HINTERNET Local(Slot slot) const { return m_local[HttpRequestHandles::Index(slot)]; }
    // Closes one handle, unless a cancel took it out of the holder first.
    void Drop(Slot slot) {
        const std::size_t index = HttpRequestHandles::Index(slot);
        HINTERNET h = m_holder ? m_holder->m_handles[index].exchange(nullptr) : m_local[index];
        m_local[index] = nullptr;
        if (h) InternetCloseHandle(h);
    }

    HttpRequestHandles* m_holder;
    HINTERNET m_local[HttpRequestHandles::kSlots] = {};
};

bool HttpPing(std::wstring_view url) {
    HttpUrlParts parts;
    if (!SplitHttpUrl(url, parts)) return false;
    DWORD error = 0;
    bool sent = false;
    {
        HttpRequestScope scope(nullptr);
        sent = scope.Send(parts);
        if (!sent) error = GetLastError();
    }
    SetLastError(error); // closing the handles must not hide why the ping failed
    return sent;
}

namespace {

uint64_t Microseconds() {
    static const int64_t frequency = [] {
        LARGE_INTEGER f{};
        QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return static_cast<uint64_t>(now.QuadPart / frequency * 1000000 +
                                 now.QuadPart % frequency * 1000000 / frequency);
}

DWORD StatusCode(HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        return 0;
    return status;
}

std::wstring LocationHeader(HINTERNET request) {
    wchar_t location[kMaxPathChars + kMaxHostChars + 16] = {};
    DWORD size = sizeof(location) - sizeof(wchar_t);
    if (!HttpQueryInfoW(request, HTTP_QUERY_LOCATION, location, &size, nullptr)) return {};
    return location;
}

// Sends the request and follows redirects to trusted hosts: true when the last answer is a
// 200 whose announced length is at most maxBytes. A redirect is followed by hand, so that the
// library never connects to a host that the trusted-domain test did not see.
bool OpenBody(HttpRequestScope& scope, std::wstring_view url, uint64_t maxBytes, DWORD& contentLength) {
    std::wstring current(url);
    const auto refuse = [&scope, &current](const wchar_t* why, DWORD code) {
        if (!scope.Cancelled()) base::Trace(why, base::AddressForTrace(current), code);
        return false;
    };
    for (int hop = 0;; ++hop) {
        HttpUrlParts parts;
        if (!SplitHttpUrl(current, parts)) return refuse(L"fetch: address refused", 0);
        if (!scope.Send(parts, kRequestFlags | INTERNET_FLAG_NO_AUTO_REDIRECT))
            return refuse(L"fetch: request failed", GetLastError());
        const DWORD status = StatusCode(scope.Request());
        if (status == 200) break;
        if (!IsRedirectStatus(status) || hop == kMaxRedirects)
            return refuse(L"fetch: answer refused, status", status);
        current = RedirectTarget(current, LocationHeader(scope.Request()));
        if (current.empty() || !IsTrustedUrl(current)) return refuse(L"fetch: redirect refused", status);
    }
    DWORD length = 0;
    DWORD size = sizeof(length);
    if (!HttpQueryInfoW(scope.Request(), HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &length, &size,
                        nullptr) ||
        size != sizeof(DWORD) || length > maxBytes)
        return refuse(L"fetch: body length missing or too long", length);
    contentLength = length;
    return true;
}

// Reads the announced body through write, chunk by chunk: true when exactly contentLength
// bytes arrived and were written.
bool ReadBody(HttpRequestScope& scope, DWORD contentLength, DWORD chunk, const FetchProgress* progress,
              const BodyWriter& write, const BodySpace& space = nullptr) {
    // Reads grow past the caller's chunk while the body streams fast: every call into the
    // library costs far more than the bytes it moves. The display still hears of every chunk.
    // The body is read straight through without seeking: the read position is always the
    // running total already, and the library could not seek anyway, as nothing is cached.
    std::vector<char> buffer(space ? 0 : std::max<DWORD>(chunk, kMaxReadBytes));
    uint32_t want = chunk;
    uint64_t total = 0;
    for (;;) {
        std::span<char> into = space ? space() : std::span<char>(buffer);
        if (into.empty()) {
            base::Trace(L"fetch: nowhere to read the body to", 0);
            return false;
        }
        into = into.first(std::min<size_t>(into.size(), want));
        DWORD read = 0;
        const uint64_t started = Microseconds();
        if (!InternetReadFile(scope.Request(), into.data(), static_cast<DWORD>(into.size()), &read)) {
            if (!scope.Cancelled())
                base::Trace(L"fetch: body not read", GetLastError()); // a cancel closed it
            return false;
        }
        const uint64_t took = Microseconds() - started;
        if (scope.Cancelled()) return false;
        // Nothing past the announced length is ever written: the library mostly stops there by
        // itself (whether it hands over a surplus depends on how the bytes arrived), and a
        // surplus it does hand over means this is not the file that was announced.
        if (read > contentLength - total) {
            base::Trace(L"fetch: body longer than announced", contentLength);
            return false;
        }
        if (read > 0 && !write(into.data(), read)) {
            base::Trace(L"fetch: body not written", GetLastError());
            return false;
        }
        const uint64_t end = total + read;
        while (total < end) {
            total = std::min<uint64_t>(total + chunk, end);
            if (progress && *progress)
                (*progress)(ProgressPercent(total, contentLength), total, contentLength);
        }
        if (read == 0) break;
        want = NextReadSize(want, chunk, read, took);
    }
    // An empty body has no percentage of its own: the display still ends full.
    if (contentLength == 0 && progress && *progress) (*progress)(100, total, contentLength);
    if (total != contentLength) base::Trace(L"fetch: body shorter than announced", contentLength);
    return total == contentLength;
}

} // namespace

bool HttpFetchToFile(std::wstring_view url, const std::wstring& path, DWORD chunk,
                     const FetchProgress* progress, HttpRequestHandles* handles, uint64_t maxBytes) {
    if (chunk == 0) return false;
    HttpRequestScope scope(handles);
    DWORD contentLength = 0;
    if (!OpenBody(scope, url, maxBytes, contentLength)) return false;
    std::unique_ptr<FILE, int (*)(FILE*)> file(_wfopen(path.c_str(), L"wb"), &std::fclose);
    if (!file) {
        base::Trace(L"fetch: file not opened", path, GetLastError());
        return false;
    }
    const bool read = ReadBody(scope, contentLength, chunk, progress, [&](const char* data, DWORD n) {
        return std::fwrite(data, 1, n, file.get()) == n;
    });
    // The file is closed on this thread in every case (see HttpRequestHandles).
    const bool flushed = std::fclose(file.release()) == 0;
    return read && flushed && !scope.Cancelled();
}

bool HttpFetchBody(std::wstring_view url, DWORD chunk, const BodyWriter& write, const FetchProgress* progress,
                   HttpRequestHandles* handles, uint64_t maxBytes, const BodySpace& space) {
    if (chunk == 0) return false;
    HttpRequestScope scope(handles);
    DWORD contentLength = 0;
    return OpenBody(scope, url, maxBytes, contentLength) &&
           ReadBody(scope, contentLength, chunk, progress, write, space) && !scope.Cancelled();
}

bool HttpFetchToMemory(std::wstring_view url, std::string& body, uint64_t maxBytes,
                       HttpRequestHandles* handles) {
    body.clear();
    return HttpFetchBody(
        url, 512,
        [&](const char* data, DWORD n) {
            if (body.size() + n > maxBytes) return false;
            body.append(data, n);
            return true;
        },
        nullptr, handles, maxBytes);
}

bool IsTrustedUrl(std::wstring_view url) {
    return IsTrustedUrl(url, PublisherOverride());
}

} // namespace net
