#include "common/budget.h"

#include <gtest/gtest.h>

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

}  // namespace
