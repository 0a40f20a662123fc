#include "shuffle/order.h"
#include "shuffle/permute.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

// The plain method permute must agree with: srandom, n draws of random()
// in index order, qsort of the records by key, equal keys by position.
struct serec {
	int32_t index;
	int64_t key;
};

// The difference of the low 32 bits of the keys, wrapped and taken as a
// signed int; keys of random() lie below 2^31, so it never wraps.
int secompare(const void *a, const void *b)
{
	auto ka = static_cast<uint32_t>(static_cast<const serec *>(a)->key);
	auto kb = static_cast<uint32_t>(static_cast<const serec *>(b)->key);
	return static_cast<int32_t>(ka - kb);
}

int byrecord(const void *a, const void *b)
{
	if (int d = secompare(a, b))
		return d;
	return static_cast<const serec *>(a)->index - static_cast<const serec *>(b)->index;
}

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

TEST(Generator, MatchesRandomForASpreadOfSeeds)
{
	std::vector<uint32_t> seeds = {0, 1, 2, 10, 0x7fffffff, 0x80000000, 0xffffffff};
	std::mt19937 pick(7);
	for (int i = 0; i < 200; i++)
		seeds.push_back(pick());
	for (uint32_t seed : seeds) {
		Generator gen(seed);
		srandom(seed);
		int draws = seed % 16 == 0 ? 200000 : 2000;
		for (int i = 0; i < draws; i++)
			ASSERT_EQ(gen.draw(), uint32_t(random())) << "seed " << seed << ", draw " << i;
	}
}

TEST(Permute, IsThePlainMethod)
{
	// Sizes on both sides of the small-bucket sort: 8000 keys fill buckets
	// of about 31, 40000 of about 156. Seed 73 draws a tie among its first
	// 8000 keys; seeds 1, 10 and 73 draw ties among their first 40000.
	const unsigned seeds[] = {1, 10, 73, 0x7fffffff, 0xffffffff};
	const int sizes[] = {1, 2, 31, 8000, 40000};
	for (unsigned seed : seeds) {
		for (int n : sizes) {
			std::vector<int> got(n, -1);
			ASSERT_TRUE(permute(got.data(), n, seed));
			ASSERT_EQ(got, reference(seed, n)) << "seed " << seed << ", n " << n;
		}
	}
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
	for (int64_t p = 100000; p <= INT_MAX; p *= 10)
		for (int64_t v = p - 3; v < p + 3 && v < INT_MAX; v++)
			add(int(v));
	EXPECT_EQ(printed(values), want);
}

}  // namespace
