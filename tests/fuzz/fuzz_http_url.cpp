// The address split of the program's own requests and the trust rule for downloads, fed any
// address and publisher host: a split keeps within its buffers, and a trusted address names a
// plain host that is one of the trusted domains, the publisher's, or below one of them.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/text.h"
#include "net/http_url.h"
#include "net/publisher.h"
#include "fuzz_input.h"

namespace {

using fuzz::Require;
using fuzz::ToText;

bool InDomain(const std::wstring& host, std::wstring_view domain) {
    if (domain.empty() || host.size() < domain.size()) return false;
    const std::wstring_view tail = std::wstring_view(host).substr(host.size() - domain.size());
    return base::EqualsNoCase(tail, domain) &&
           (host.size() == domain.size() || host[host.size() - domain.size() - 1] == L'.');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const wchar_t* const kPrefixes[] = {L"", L"http://", L"HTTP://www.", L"http://a.b:8080/",
                                               L"http://127.0.0.1:"};
    if (size < 2) return 0;
    const size_t cut = std::min<size_t>(data[1] * 2u, size - 2);
    const std::wstring overrideHost = ToText(data + 2, cut);
    const std::wstring url = kPrefixes[data[0] % 5] + ToText(data + 2 + cut, size - 2 - cut);

    net::HttpUrlParts parts;
    const bool split = net::SplitHttpUrl(url, parts);
    Require(!split || net::HasHttpScheme(url));
    if (split) {
        Require(parts.host.size() <= net::kMaxHostChars && parts.path.size() <= net::kMaxPathChars);
        Require(parts.host.find(L'/') == std::wstring::npos && parts.host.find(L':') == std::wstring::npos);
    }

    if (net::IsTrustedUrl(url, overrideHost)) {
        Require(split && !parts.host.empty());
        for (wchar_t c : parts.host)
            Require((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
                    c == L'.' || c == L'-');
        bool known = false;
        for (std::wstring_view domain : net::kTrustedDomains)
            known = known || InDomain(parts.host, domain);
        const std::wstring overrideName = overrideHost.substr(0, overrideHost.find(L':'));
        Require(known || InDomain(parts.host, overrideName));
        // Nothing but the port may follow the host before the path.
        const size_t hostEnd = 7 + parts.host.size();
        Require(url.size() == hostEnd || url[hostEnd] == L'/' || url[hostEnd] == L':');
    }

    const uint64_t total = (uint64_t{data[0]} << 32) | (size * 977u);
    const uint32_t length = static_cast<uint32_t>(size * 131u);
    Require(net::ProgressPercent(total, length) <= 100);
    return 0;
}
