// Rules of the program's own HTTP requests that need no network: splitting an address into
// host, port and object path, the trusted-domain test for downloads, the progress percentage
// and the fixed request attributes.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace net {

// Fixed attributes of every request the program makes itself.
inline constexpr std::wstring_view kUserAgent = L"ZRB";
inline constexpr std::wstring_view kRequestHeaders =
    L"Accept-Language: zh-cn \r\nContent-Type: application/x-www-form-urlencoded\r\n";

// Limits of the host and path buffers (characters, without the terminator).
inline constexpr size_t kMaxHostChars = 259;
inline constexpr size_t kMaxPathChars = 511;

struct HttpUrlParts {
    std::wstring host;
    uint16_t port = 80;
    std::wstring path; // object path without its leading "/"
};

// True when the address starts with "http://", compared without regard to case.
bool HasHttpScheme(std::wstring_view url);

// Splits "http://host[:port][/path]": host and path at the first "/", the port after a ":" in
// the host (read like _wtoi, cut to 16 bits; 80 without one). False for another scheme and for
// a host or path longer than its buffer: such addresses are not requested at all.
bool SplitHttpUrl(std::wstring_view url, HttpUrlParts& parts);

// True when a download may be taken from the address: an http address whose host (no user
// information, port removed, compared without regard to case) equals one of the publisher's
// trusted domains, or the override host, or ends with "." followed by one of them.
bool IsTrustedUrl(std::wstring_view url, std::wstring_view overrideHost);

// Limits of what a fetch accepts: a download (the update, a game client), a configuration.
inline constexpr uint64_t kMaxDownloadBytes = 1ull << 30;
inline constexpr uint64_t kMaxConfigBytes = 64 * 1024;
inline constexpr int kMaxRedirects = 5;

// True for the statuses that name another address in their Location header.
bool IsRedirectStatus(unsigned status);

// The address a redirect from current leads to: an absolute http address as it is, a path
// from "/" on the current address's host; empty for anything else (another scheme, a relative
// path), which is not followed.
std::wstring RedirectTarget(std::wstring_view current, std::wstring_view location);

// total × 100 / length in integer arithmetic that can't overflow, capped at 100; a length of
// 0 counts as complete.
uint32_t ProgressPercent(uint64_t total, uint32_t contentLength);

// How many bytes the next read of a body asks for. A read blocks until it is full or the body
// ends, and closing the handles does not cut it short, so a cancel only takes effect between
// reads: each read is sized to last about kReadTargetMicros at the rate the last one saw. It
// doubles after a full read that took less than half of that, halves after one that took
// longer, and stays between the caller's chunk and kMaxReadBytes.
inline constexpr uint32_t kMaxReadBytes = 1u << 20;
inline constexpr uint64_t kReadTargetMicros = 50000;
uint32_t NextReadSize(uint32_t current, uint32_t chunk, uint32_t got, uint64_t micros);

} // namespace net
