#include "net/http_url.h"

#include <algorithm>

#include "base/text.h"
#include "net/publisher.h"

namespace net {

namespace {

constexpr std::wstring_view kScheme = L"http://";

bool IsHostChar(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'.' ||
           c == L'-';
}

// The host part of a host[:port] text; empty when the port part isn't plain digits.
std::wstring_view HostOfAuthority(std::wstring_view authority) {
    const size_t colon = authority.find(L':');
    if (colon == std::wstring_view::npos) return authority;
    for (wchar_t c : authority.substr(colon + 1))
        if (c < L'0' || c > L'9') return {};
    return authority.substr(0, colon);
}

// host equals domain, or ends with "." + domain (ASCII case ignored).
bool InDomain(std::wstring_view host, std::wstring_view domain) {
    if (domain.empty() || host.size() < domain.size()) return false;
    if (!base::EqualsNoCase(host.substr(host.size() - domain.size()), domain)) return false;
    return host.size() == domain.size() || host[host.size() - domain.size() - 1] == L'.';
}

} // namespace

bool HasHttpScheme(std::wstring_view url) {
    return url.size() >= kScheme.size() && base::EqualsNoCase(url.substr(0, kScheme.size()), kScheme);
}

bool SplitHttpUrl(std::wstring_view url, HttpUrlParts& parts) {
    if (!HasHttpScheme(url)) return false;
    const std::wstring_view rest = url.substr(kScheme.size());
    const size_t slash = rest.find(L'/');
    std::wstring_view host = rest.substr(0, slash);
    const std::wstring_view path =
        slash == std::wstring_view::npos ? std::wstring_view() : rest.substr(slash + 1);
    if (host.size() > kMaxHostChars || path.size() > kMaxPathChars) return false;
    uint16_t port = 80;
    const size_t colon = host.find(L':');
    if (colon != std::wstring_view::npos) {
        port = static_cast<uint16_t>(base::ParseInt(host.substr(colon + 1)));
        host = host.substr(0, colon);
    }
    parts.host.assign(host);
    parts.port = port;
    parts.path.assign(path);
    return true;
}

bool IsTrustedUrl(std::wstring_view url, std::wstring_view overrideHost) {
    HttpUrlParts parts;
    if (!SplitHttpUrl(url, parts)) return false;
    // The host is what the request will connect to; anything but a plain name (user
    // information, a query or fragment glued to it) is refused rather than interpreted.
    const std::wstring_view rest = url.substr(kScheme.size());
    const std::wstring_view host = HostOfAuthority(rest.substr(0, rest.find(L'/')));
    if (host.empty() || host != parts.host) return false;
    for (wchar_t c : host)
        if (!IsHostChar(c)) return false;
    for (std::wstring_view domain : kTrustedDomains)
        if (InDomain(host, domain)) return true;
    return InDomain(host, HostOfAuthority(overrideHost));
}

bool IsRedirectStatus(unsigned status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

std::wstring RedirectTarget(std::wstring_view current, std::wstring_view location) {
    if (HasHttpScheme(location)) return std::wstring(location);
    if (location.empty() || location[0] != L'/' || location.starts_with(L"//") || !HasHttpScheme(current))
        return {};
    const size_t slash = current.find(L'/', kScheme.size());
    return std::wstring(current.substr(0, slash)) + std::wstring(location);
}

uint32_t ProgressPercent(uint64_t total, uint32_t contentLength) {
    if (contentLength == 0 || total >= contentLength) return 100;
    return static_cast<uint32_t>(total * 100 / contentLength);
}

uint32_t NextReadSize(uint32_t current, uint32_t chunk, uint32_t got, uint64_t micros) {
    const uint32_t floor = std::max<uint32_t>(chunk, 1);
    const uint32_t ceiling = std::max(floor, kMaxReadBytes);
    uint32_t next = current;
    if (micros > kReadTargetMicros)
        next = current / 2;
    else if (got >= current && micros < kReadTargetMicros / 2)
        next = current <= ceiling / 2 ? current * 2 : ceiling;
    return std::clamp(next, floor, ceiling);
}

} // namespace net
