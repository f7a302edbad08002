#include "base/rate_limit.h"

#include <gtest/gtest.h>

TEST(RateLimit, OneEventPerIntervalCountedFromTheLastOneLetThrough) {
    base::RateLimit limit(1000);
    for (const auto& [now, allowed] :
         {std::pair{0, true}, {999, false}, {1000, true}, {1999, false}, {2500, true}})
        EXPECT_EQ(limit.Allow(now), allowed) << now;
}
