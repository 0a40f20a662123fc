#include "shuffle/permute.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

// Sort records, ties by position: the order permute must give.
int byrecord(const void *a, const void *b)
{
	if (int d = secompare(a, b))
		return d;
	return static_cast<const serec *>(a)->index - static_cast<const serec *>(b)->index;
}

// The plain method: seed, n draws in index order, qsort of the records.
std::vector<int> reference(unsigned seed, int n)
{
	srandom(seed);
	std::vector<serec> rec(n);
	for (int i = 0; i < n; i++)
		rec[i] = {i, random()};
	qsort(rec.data(), n, sizeof rec[0], byrecord);
	std::vector<int> order(n);
	for (int i = 0; i < n; i++)
		order[i] = rec[i].index;
	return order;
}

TEST(Secompare, DifferenceOfLowWordsAsSignedInt)
{
	serec a{0, 5}, b{1, 3};
	EXPECT_GT(secompare(&a, &b), 0);
	EXPECT_LT(secompare(&b, &a), 0);
	EXPECT_EQ(secompare(&a, &a), 0);
	serec high{0, (int64_t(7) << 32) + 5};
	EXPECT_EQ(secompare(&high, &a), 0);
	serec top{0, int64_t(1) << 31}, zero{1, 0};
	EXPECT_EQ(secompare(&top, &zero), INT_MIN);
	serec big{0, INT32_MAX}, small{1, 0};
	EXPECT_EQ(secompare(&big, &small), INT32_MAX);
	EXPECT_EQ(secompare(&small, &big), -INT32_MAX);
}

TEST(Permute, IsThePlainMethodWithExactlyNDraws)
{
	const unsigned seeds[] = {1, 10, 12345, 0x7fffffff, 0xffffffff};
	const int sizes[] = {1, 2, 31, 1000, 40000, 1000000};
	for (unsigned seed : seeds) {
		for (int n : sizes) {
			std::vector<int> want = reference(seed, n);
			long after = random();
			std::vector<int> got(n, -1);
			srandom(seed);
			permute(got.data(), n);
			ASSERT_EQ(got, want) << "seed " << seed << ", n " << n;
			ASSERT_EQ(random(), after) << "seed " << seed << ", n " << n;
		}
	}
}

// keysort against a stable sort of the positions, on keys full of ties.
void expect_keysort(std::vector<uint32_t> keys)
{
	int n = int(keys.size());
	std::vector<int> want(n);
	std::iota(want.begin(), want.end(), 0);
	std::stable_sort(want.begin(), want.end(), [&](int a, int b) { return keys[a] < keys[b]; });
	std::vector<int> got(n, -1);
	keysort(keys.data(), got.data(), n);
	ASSERT_EQ(got, want) << n << " keys";
	EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
}

TEST(Keysort, EqualKeysKeepPositionOrder)
{
	// Values at the edges of every digit, each drawn many times, so that
	// runs of ties fall in small and large buckets alike.
	const uint32_t edges[] = {0, 1, 4095, 4096, (1u << 23) - 1, 1u << 23, 0x7fffffff, 0x7ffff000};
	std::mt19937 gen(42);
	for (int n : {3, 70, 5000, 300000}) {
		std::vector<uint32_t> keys(n);
		for (auto &k : keys)
			k = edges[gen() % 8];
		expect_keysort(keys);
	}
	expect_keysort(std::vector<uint32_t>(100000, 77));
	std::vector<uint32_t> keys(200000);
	for (auto &k : keys)
		k = gen() % 50000 * 40000;  // spread over the buckets, with ties
	expect_keysort(keys);
	for (auto &k : keys)
		k = gen() >> 1;
	expect_keysort(keys);
}

std::string printed(const std::vector<int> &values)
{
	std::string s(values.size() * 11, '\0');
	s.resize(format_order(s.data(), values.data(), int(values.size())));
	return s;
}

TEST(FormatOrder, AsPrintfDoes)
{
	EXPECT_EQ(printed({0, 8, 9, 98, 99, INT_MAX - 1}), "1 9 10 99 100 2147483647 ");
	EXPECT_EQ(printed({}), "");
	std::vector<int> values;
	std::string want;
	char buf[16];
	auto add = [&](int v) {
		values.push_back(v);
		snprintf(buf, sizeof buf, "%d ", v + 1);
		want += buf;
	};
	for (int v = 0; v < 100000; v++)
		add(v);
	for (long p = 100000; p <= INT_MAX; p *= 10)
		for (long v = p - 3; v < p + 3 && v < INT_MAX; v++)
			add(int(v));
	EXPECT_EQ(printed(values), want);
}

#if !defined(__SANITIZE_ADDRESS__)	// the sanitizer cannot run in a confined address space
// Two gigabytes of keys in one gigabyte of address space.
void permute_confined()
{
	rlimit lim;
	lim.rlim_cur = lim.rlim_max = 1L << 30;
	setrlimit(RLIMIT_AS, &lim);
	permute(nullptr, 500000000);
}

TEST(PermuteDeathTest, RecordsThatCannotBeAllocated)
{
	EXPECT_EXIT(permute_confined(), testing::ExitedWithCode(255),
	            "^permute: memory allocation error\n$");
}
#endif

}  // namespace
