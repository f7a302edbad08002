#include "net/cache_rules.h"

#include "base/text.h"

namespace net {

bool IsLoaderAddress(std::wstring_view address) {
    // The name is plain ASCII, so folding ASCII letters is folding every letter that can match.
    return base::AsciiUpper(address).find(base::AsciiUpper(kLoaderName)) != std::wstring::npos;
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
