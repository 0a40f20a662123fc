#include "common/budget.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace {

const uint64_t none = UINT64_MAX, GiB = uint64_t(1) << 30;

TEST(Budget, TheLeastLimitBinds)
{
	EXPECT_EQ(memory_budget({24 * GiB, none, none, none}), 24 * GiB);
	EXPECT_EQ(memory_budget({24 * GiB, 2 * GiB, none, GiB}), GiB);
	EXPECT_EQ(memory_budget({24 * GiB, none, 3 * GiB, none}), 3 * GiB);
}

TEST(Budget, CgroupFilesSayMaxOrANumber)
{
	EXPECT_EQ(parse_limit("max\n"), none);
	EXPECT_EQ(parse_limit("1073741824\n"), GiB);
	EXPECT_EQ(parse_limit("9223372036854771712\n"), 9223372036854771712u);
	EXPECT_EQ(parse_limit(""), none);
}

TEST(Budget, ARequestFitsBesideWhatIsHeldAndTheProgram)
{
	EXPECT_TRUE(fits(0, GiB / 2, GiB));
	EXPECT_FALSE(fits(GiB / 2, GiB / 2, GiB));  // the program needs room too
	EXPECT_FALSE(fits(0, GiB, GiB));
	EXPECT_FALSE(fits(0, 1, 1 << 20));    // a limit below the program itself
	EXPECT_FALSE(fits(GiB, none, none));  // no wrap-around
	EXPECT_TRUE(fits(0, 8 * GiB, none));
}

TEST(Budget, OnlyTotalsWithinAMebibyteSkipTheLimits)
{
	const uint64_t MiB = 1 << 20;
	EXPECT_TRUE(needs_no_limits(0, MiB));
	EXPECT_TRUE(needs_no_limits(MiB - 1, 1));
	EXPECT_FALSE(needs_no_limits(MiB - 1, 2));
	EXPECT_FALSE(needs_no_limits(MiB / 2, MiB));
	EXPECT_FALSE(needs_no_limits(MiB + 1, 0));
	EXPECT_FALSE(needs_no_limits(1, none));
}

// Each growth at least doubles the buffer (a long line read in pieces costs
// time in proportion to its length) and gives back the size it replaces, a
// move hands the count on with the bytes, and freeing gives back the rest.
TEST(Budget, ABufferHoldsItsSizeAndNoMore)
{
	const uint64_t before = budget_taken();
	{
		Buffer buf;
		for (size_t need : {10, 5000, 5001, 100000}) {
			size_t cap = buf.cap;
			ASSERT_TRUE(reserve(buf, need));
			EXPECT_GE(buf.cap, std::max(need, 2 * cap));
			EXPECT_EQ(budget_taken() - before, buf.cap);
		}
		Buffer moved = std::move(buf);
		EXPECT_EQ(budget_taken() - before, moved.cap);
	}
	EXPECT_EQ(budget_taken(), before);
}

}  // namespace
