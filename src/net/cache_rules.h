// Which URL cache entries the cache clearing may delete (never a cookie; the game loader by its
// address), and the buffer rule of the cache enumeration, free of Windows so they are host-tested.
#pragma once
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace net {

// The entry type flag of a cookie (COOKIE_CACHE_ENTRY): such entries keep the player logged in.
inline constexpr uint32_t kCookieCacheEntry = 0x00100000;

// The part of the game loader's address that marks a cached copy worth purging before a refresh.
inline constexpr std::wstring_view kLoaderName = L"WMainLoader.swf?username=";

inline bool IsCookieEntry(uint32_t entryType) {
    return (entryType & kCookieCacheEntry) != 0;
}

// True when the address contains the loader name, whatever the letter case of either.
bool IsLoaderAddress(std::wstring_view address);

// The system's error codes that the enumeration tells apart.
inline constexpr uint32_t kErrorInsufficientBuffer = 122;
inline constexpr uint32_t kErrorNoMoreItems = 259;

// Calls at most this often for one entry: an entry that grows between the size answer and the
// fetch is fetched again, one that keeps growing ends the walk instead of spinning.
inline constexpr int kCacheFetchAttempts = 8;

// One enumeration call into buffer; size holds the buffer's size in and, when the call answers
// kErrorInsufficientBuffer, the size it needs out. Answers 0 or the system's error code.
using CacheEntryFetch = std::function<uint32_t(std::vector<uint8_t>& buffer, uint32_t& size)>;

// Fetches one entry: a too-small buffer is replaced by one of the size reported (larger than the
// old one in any case) and the call repeated, kCacheFetchAttempts calls at most. Answers the last
// call's result (0 when the entry is in buffer).
uint32_t FetchCacheEntry(std::vector<uint8_t>& buffer, const CacheEntryFetch& fetch);

} // namespace net
