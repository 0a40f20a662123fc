#include "common/budget.h"
#include "common/cgroup.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>

namespace {

const uint64_t none = UINT64_MAX, GiB = uint64_t(1) << 30;

// A folder standing in for "/": the process sits in cgroup /job/step of
// the unified hierarchy and in /batch/run of the v1 memory hierarchy.
struct FakeRoot {
	std::string dir = testing::TempDir() + "cgroup_XXXXXX";

	FakeRoot()
	{
		EXPECT_TRUE(mkdtemp(dir.data()));
		for (const char *sub :
		     {"/proc/self", "/sys/fs/cgroup/job/step", "/sys/fs/cgroup/memory/batch/run"})
			std::filesystem::create_directories(dir + sub);
		write("/proc/self/cgroup", "4:memory:/batch/run\n1:cpu,cpuacct:/\n0::/job/step\n");
	}
	~FakeRoot()
	{
		std::filesystem::remove_all(dir);
	}
	void write(const char *name, const char *text)
	{
		FILE *fp = fopen((dir + name).c_str(), "w");
		ASSERT_TRUE(fp);
		fputs(text, fp);
		fclose(fp);
	}
};

// Limits set above the process's own cgroup bind it too; "max" and v1's
// page-rounded 2^63 are none.
TEST(Budget, TheLeastMemoryLimitOfTheCgroupsAboveBinds)
{
	FakeRoot root;
	EXPECT_EQ(cgroup_memory_limit(root.dir), none);
	root.write("/sys/fs/cgroup/job/step/memory.max", "max\n");
	root.write("/sys/fs/cgroup/memory/batch/memory.limit_in_bytes", "9223372036854771712\n");
	EXPECT_EQ(cgroup_memory_limit(root.dir), 9223372036854771712u);
	root.write("/sys/fs/cgroup/job/memory.max", "3221225472\n");
	EXPECT_EQ(cgroup_memory_limit(root.dir), 3 * GiB);
	root.write("/sys/fs/cgroup/memory/batch/run/memory.limit_in_bytes", "2147483648\n");
	EXPECT_EQ(cgroup_memory_limit(root.dir), 2 * GiB);
	root.write("/sys/fs/cgroup/memory.max", "1073741824\n");
	EXPECT_EQ(cgroup_memory_limit(root.dir), GiB);
}

TEST(Budget, ARequestFitsBesideWhatIsHeldAndTheProgram)
{
	EXPECT_TRUE(fits(0, GiB / 2, GiB));
	EXPECT_FALSE(fits(GiB / 2, GiB / 2, GiB));             // the program needs room too
	EXPECT_TRUE(fits(GiB / 2, GiB / 2 - (4 << 20), GiB));  // all the room there is
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
