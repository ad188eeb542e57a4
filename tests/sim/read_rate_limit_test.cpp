#include "read_rate_limit.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(ReadRateLimit, AllowsTheRateWithABoundedCatchUp) {
    ReadRateLimit limit(1000, 0);  // one byte a millisecond
    EXPECT_EQ(limit.Allowance(0), 0u);
    EXPECT_EQ(limit.NextReadUs(), uint64_t{1000});
    EXPECT_EQ(limit.Allowance(5000), 5u);
    limit.Consumed(5);
    EXPECT_EQ(limit.Allowance(5000), 0u);
    EXPECT_EQ(limit.NextReadUs(), uint64_t{6000});
    // A second without reading allows no more than the burst.
    EXPECT_EQ(limit.Allowance(1005000), 1000 * ReadRateLimit::kBurstUs / 1000000);

    ReadRateLimit slow(50, 0);  // one byte in 20 ms, more than a burst's time
    EXPECT_EQ(slow.Allowance(10000), 0u);
    EXPECT_EQ(slow.Allowance(20000), 1u);

    ReadRateLimit none(0, 0);
    EXPECT_EQ(none.Allowance(0), SIZE_MAX);
    EXPECT_FALSE(none.NextReadUs().has_value());
}
