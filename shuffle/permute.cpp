// permute: a seeded random permutation, by a radix sort of drawn keys.
//
// The keys are drawn twice, since drawing costs less than keeping them in
// a third array. The first pass counts the keys of each bucket (their top
// 8 bits); the second moves each position with its key into the bucket's
// next slot, so that within a bucket positions stay in index order. Each
// bucket, small enough to sort in cache for counts in the millions, is
// then sorted by the low 23 bits of its keys in two stable counting
// passes: equal keys keep index order.
#include "shuffle/permute.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "common/budget.h"

static const int top_shift = 23;
static const int ntop = 1 << (31 - top_shift);
static const int lo_bits = 12;
static const int nlo = 1 << lo_bits;
static const int nhi = 1 << (top_shift - lo_bits);
static const uint32_t small_bucket = 64;  // sorted by insertion

Generator::Generator(uint32_t seed)
{
	// initstate_r notes in a previous state where it stood: there is none.
	random_data data = {};
	initstate_r(seed, reinterpret_cast<char *>(state), sizeof state, &data);
	table = data.state;
	end = data.end_ptr;
	front = data.fptr;
	rear = data.rptr;
}

// Key and position in one word, moved together through scratch.
static uint64_t pair(uint32_t key, int pos)
{
	return uint64_t(key) << 32 | uint32_t(pos);
}

// Stable, since positions arrive in index order and only a larger key
// moves a record up.
static void insertion(uint32_t *keys, int *values, uint32_t m)
{
	for (uint32_t j = 1; j < m; j++) {
		uint32_t key = keys[j];
		int pos = values[j];
		uint32_t i = j;
		for (; i > 0 && keys[i - 1] > key; i--) {
			keys[i] = keys[i - 1];
			values[i] = values[i - 1];
		}
		keys[i] = key;
		values[i] = pos;
	}
}

// Turns counts into the first slot of each digit.
static void offsets(uint32_t *count, int n)
{
	uint32_t sum = 0;
	for (int d = 0; d < n; d++) {
		uint32_t c = count[d];
		count[d] = sum;
		sum += c;
	}
}

// Sorts the positions of one bucket by two stable counting passes, low
// digit first, through scratch. Only the positions are written back.
static void radix(const uint32_t *keys, int *values, uint32_t m, uint64_t *scratch)
{
	uint32_t lo[nlo] = {}, hi[nhi] = {};
	for (uint32_t j = 0; j < m; j++) {
		lo[keys[j] & (nlo - 1)]++;
		hi[keys[j] >> lo_bits & (nhi - 1)]++;
	}
	offsets(lo, nlo);
	offsets(hi, nhi);
	for (uint32_t j = 0; j < m; j++)
		scratch[lo[keys[j] & (nlo - 1)]++] = pair(keys[j], values[j]);
	for (uint32_t j = 0; j < m; j++) {
		auto key = static_cast<uint32_t>(scratch[j] >> 32);
		values[hi[key >> lo_bits & (nhi - 1)]++] = static_cast<int>(uint32_t(scratch[j]));
	}
}

// The first slot of every bucket, start[ntop] being n, and the size of the
// largest.
static uint32_t count_buckets(uint32_t seed, int n, uint32_t *start)
{
	Generator gen(seed);
	std::fill(start, start + ntop + 1, 0);
	for (int i = 0; i < n; i++)
		start[(gen.draw() >> top_shift) + 1]++;
	uint32_t most = 0;
	for (int b = 1; b <= ntop; b++) {
		most = std::max(most, start[b]);
		start[b] += start[b - 1];
	}
	return most;
}

// Draws the keys again and moves each position and its key to the next
// slot of its bucket.
static void fill_buckets(uint32_t seed, int n, const uint32_t *start, uint32_t *keys, int *values)
{
	Generator gen(seed);
	uint32_t next[ntop];
	memcpy(next, start, sizeof next);
	for (int i = 0; i < n; i++) {
		uint32_t key = gen.draw();
		uint32_t slot = next[key >> top_shift]++;
		keys[slot] = key;
		values[slot] = i;
	}
}

// Sorts every bucket in its place: the small ones by insertion.
static void sort_buckets(uint32_t *keys, int *values, const uint32_t *start, uint64_t *scratch)
{
	for (int b = 0; b < ntop; b++) {
		uint32_t m = start[b + 1] - start[b];
		if (m <= small_bucket)
			insertion(keys + start[b], values + start[b], m);
		else
			radix(keys + start[b], values + start[b], m, scratch);
	}
}

bool permute(int *values, int n, uint32_t seed)
{
	if (n <= 0)
		return true;
	size_t keybytes = size_t(n) * sizeof(uint32_t);
	auto keys = static_cast<uint32_t *>(bigalloc(keybytes));
	if (!keys)
		return false;
	uint32_t start[ntop + 1];
	size_t scratchbytes = count_buckets(seed, n, start) * sizeof(uint64_t);
	auto scratch = static_cast<uint64_t *>(bigalloc(scratchbytes));
	if (!scratch) {
		bigfree(keys, keybytes);
		return false;
	}
	fill_buckets(seed, n, start, keys, values);
	sort_buckets(keys, values, start, scratch);
	bigfree(scratch, scratchbytes);
	bigfree(keys, keybytes);
	return true;
}
