#include "base/rate_limit.h"

#include <gtest/gtest.h>

TEST(RateLimit, OneEventPerIntervalCountedFromTheLastOneLetThrough) {
    base::RateLimit limit(1000);
    struct Case {
        uint64_t now;
        bool allowed;
    } cases[] = {{0, true},     {1, false},    {999, false}, {1000, true},
                 {1500, false}, {1999, false}, {5000, true}};
    for (const auto& c : cases)
        EXPECT_EQ(limit.Allow(c.now), c.allowed) << c.now;
}
