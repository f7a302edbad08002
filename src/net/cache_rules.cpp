#include "net/cache_rules.h"

#include "base/text.h"

namespace net {

bool IsLoaderAddress(std::wstring_view address) {
    // The name is plain ASCII, so folding ASCII letters is folding every letter that can match.
    return base::AsciiUpper(address).find(base::AsciiUpper(kLoaderName)) != std::wstring::npos;
}

bool IsInsideFolder(std::wstring_view path, std::wstring_view folder) {
    while (!folder.empty() && folder.back() == L'\\')
        folder.remove_suffix(1);
    if (folder.empty() || path.size() <= folder.size() + 1 || path[folder.size()] != L'\\') return false;
    if (base::AsciiUpper(path.substr(0, folder.size())) != base::AsciiUpper(folder)) return false;
    // Below the folder, every component must lead further down.
    std::wstring_view rest = path.substr(folder.size() + 1);
    while (!rest.empty()) {
        const size_t end = rest.find(L'\\');
        const std::wstring_view part = rest.substr(0, end);
        if (part == L"." || part == L"..") return false;
        if (end == std::wstring_view::npos) break;
        rest.remove_prefix(end + 1);
    }
    return true;
}

uint32_t FetchCacheEntry(std::vector<uint8_t>& buffer, const CacheEntryFetch& fetch) {
    uint32_t result = kErrorInsufficientBuffer;
    for (int attempt = 0; attempt < kCacheFetchAttempts && result == kErrorInsufficientBuffer; ++attempt) {
        uint32_t size = static_cast<uint32_t>(buffer.size());
        result = fetch(buffer, size);
        if (result != kErrorInsufficientBuffer) break;
        // A size that does not grow the buffer would ask the same question again.
        buffer.assign(size > buffer.size() ? size : buffer.size() * 2 + 1, 0);
    }
    return result;
}

} // namespace net
