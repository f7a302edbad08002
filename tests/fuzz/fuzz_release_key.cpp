// The release key rules of the self-update, fed the key text of a downloaded configuration and
// any digest and version text: keys keep their length rule, compare like themselves whatever
// their letter case, and a file only matches the key made from its own digest.
#include <cstddef>
#include <cstdint>
#include <cwctype>
#include <string>

#include "app/update.h"
#include "fuzz_input.h"

namespace {

using fuzz::Require;
using fuzz::ToText;

std::wstring AsciiUpper(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return text;
}

bool IsHex(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    // The first byte cuts the rest into the published key and a digest; the version is short.
    const size_t cut = std::min<size_t>(data[0] * 2u, size - 1);
    const std::wstring published = ToText(data + 1, cut);
    const std::wstring digest = ToText(data + 1 + cut, size - 1 - cut);
    const std::wstring version = published.substr(0, published.size() % 12);

    using namespace app;
    Require(!ReleaseKeysDiffer(published, published));
    Require(!ReleaseKeysDiffer(published, AsciiUpper(published)));
    Require(ReleaseKeysDiffer(published, digest) == ReleaseKeysDiffer(digest, published));

    const std::wstring suffix = VersionDigits(version);
    Require(suffix.find(L'.') == std::wstring::npos && suffix.size() <= version.size());
    const std::wstring key = ReleaseKey(digest, version);
    if (digest.empty()) {
        Require(key.empty());
    } else {
        Require(key.size() == std::max(digest.size(), suffix.size()));
        Require(key.compare(key.size() - suffix.size(), suffix.size(), suffix) == 0);
    }

    // Only 24 hex digits at the head of a key can match a file, and only that file's digest.
    const bool matches = DigestMatchesReleaseKey(digest, published);
    if (matches) {
        Require(published.size() >= 24 && digest.size() >= 24);
        for (size_t i = 0; i < 24; ++i)
            Require(IsHex(published[i]) && std::towlower(published[i]) == std::towlower(digest[i]));
    }
    bool hexDigest = digest.size() >= 32;
    for (size_t i = 0; hexDigest && i < 32; ++i)
        hexDigest = IsHex(digest[i]);
    if (hexDigest && suffix.size() <= 8)
        Require(DigestMatchesReleaseKey(digest, ReleaseKey(digest, version)));
    return 0;
}
