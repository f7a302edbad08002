#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "net/cache_rules.h"

namespace {

TEST(CacheRules, LoaderAddressMatchesTheNameWithItsQueryInAnyCase) {
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"HTTP://H/GAME/WMAINLOADER.SWF?USERNAME=A", true},
        {L"http://游戏/wMaInLoAdEr.sWf?uSeRnAmE=玩家&v=2", true},
        {L"http://h/wmainloader.swf", false},          // no query: the shared loader stays
        {L"http://h/wmainloader.swf?user=x", false},   // another query
        {L"http://h/wmainloader.swf?username", false}, // the name without its "="
        {L"", false},
    };
    for (const auto& [address, match] : cases)
        EXPECT_EQ(net::IsLoaderAddress(address), match) << address;
}

TEST(CacheRules, AnEntryThatGrowsIsFetchedAgainButNeverEndlessly) {
    // Each call's entry is 1000 bytes larger than at the call before, up to the given limit.
    const auto growingUpTo = [](uint32_t limit, int& calls) {
        return [limit, &calls](std::vector<uint8_t>& buffer, uint32_t& size) -> uint32_t {
            const uint32_t need = std::min<uint32_t>(2000 + 1000 * calls++, limit);
            if (buffer.size() >= need && size == buffer.size()) return 0;
            size = need;
            return net::kErrorInsufficientBuffer;
        };
    };
    std::vector<uint8_t> buffer(1024);
    int calls = 0;
    EXPECT_EQ(net::FetchCacheEntry(buffer, growingUpTo(4000, calls)), 0u);
    EXPECT_EQ(calls, 4);
    buffer.assign(1024, 0);
    calls = 0;
    EXPECT_EQ(net::FetchCacheEntry(buffer, growingUpTo(UINT32_MAX, calls)), net::kErrorInsufficientBuffer);
    EXPECT_EQ(calls, net::kCacheFetchAttempts);
}

} // namespace
