// permute: a seeded random permutation, by a radix sort of random() keys.
#include "shuffle/permute.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/mman.h>

// A key has 31 bits. The top 8 choose one of 256 buckets; within a bucket
// the low 23 are sorted as two digits of 12 and 11 bits.
enum {
	TOPSHIFT = 23,
	NTOP = 1 << (31 - TOPSHIFT),
	LOBITS = 12,
	NLO = 1 << LOBITS,
	NHI = 1 << (TOPSHIFT - LOBITS),
	SMALL = 64,	// buckets up to this size are sorted by insertion
};

[[noreturn]] static void nomem()
{
	fputs("permute: memory allocation error\n", stderr);
	exit(255);
}

int secompare(const void *a, const void *b)
{
	auto ka = static_cast<uint32_t>(static_cast<const serec *>(a)->key);
	auto kb = static_cast<uint32_t>(static_cast<const serec *>(b)->key);
	return static_cast<int32_t>(ka - kb);
}

void *bigalloc(size_t bytes)
{
	const size_t huge = 2 << 20;
	if (bytes < huge)
		return malloc(bytes ? bytes : 1);
	void *p;
	if (posix_memalign(&p, huge, bytes) != 0)
		return nullptr;
#ifdef MADV_HUGEPAGE
	// Only advice: without huge pages the block works the same, slower.
	madvise(p, bytes / huge * huge, MADV_HUGEPAGE);
#endif
	return p;
}

// Key and position in one word, which orders by key, then by position.
static uint64_t pair(uint32_t key, int pos)
{
	return uint64_t(key) << 32 | uint32_t(pos);
}

static void insertion(uint32_t *keys, int *values, uint32_t m)
{
	for (uint32_t j = 1; j < m; j++) {
		uint32_t key = keys[j];
		int pos = values[j];
		uint32_t i = j;
		for (; i > 0 && pair(keys[i - 1], values[i - 1]) > pair(key, pos); i--) {
			keys[i] = keys[i - 1];
			values[i] = values[i - 1];
		}
		keys[i] = key;
		values[i] = pos;
	}
}

// Moves every record into the bucket of its top key bits, in place: the
// bucket b occupies start[b] .. start[b + 1] - 1. The order within a bucket
// is lost.
static void partition(uint32_t *keys, int *values, const uint32_t *start)
{
	uint32_t next[NTOP];
	memcpy(next, start, sizeof next);
	for (uint32_t b = 0; b < NTOP; b++) {
		while (next[b] < start[b + 1]) {
			uint32_t key = keys[next[b]];
			int pos = values[next[b]];
			// Pass the record on along the cycle of displaced records
			// until one arrives that belongs here.
			for (uint32_t d = key >> TOPSHIFT; d != b; d = key >> TOPSHIFT) {
				uint32_t slot = next[d]++;
				std::swap(key, keys[slot]);
				std::swap(pos, values[slot]);
			}
			keys[next[b]] = key;
			values[next[b]] = pos;
			next[b]++;
		}
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

// Sorts one bucket by two stable counting passes through scratch, low digit
// first, then restores position order among equal keys, which the partition
// did not keep.
static void radix(uint32_t *keys, int *values, uint32_t m, uint64_t *scratch)
{
	uint32_t lo[NLO] = {}, hi[NHI] = {};
	for (uint32_t j = 0; j < m; j++) {
		lo[keys[j] & (NLO - 1)]++;
		hi[keys[j] >> LOBITS & (NHI - 1)]++;
	}
	offsets(lo, NLO);
	offsets(hi, NHI);
	for (uint32_t j = 0; j < m; j++)
		scratch[lo[keys[j] & (NLO - 1)]++] = pair(keys[j], values[j]);
	for (uint32_t j = 0; j < m; j++) {
		auto key = static_cast<uint32_t>(scratch[j] >> 32);
		uint32_t slot = hi[key >> LOBITS & (NHI - 1)]++;
		keys[slot] = key;
		values[slot] = static_cast<int>(static_cast<uint32_t>(scratch[j]));
	}
	for (uint32_t j = 1; j < m; j++) {
		if (keys[j] != keys[j - 1])
			continue;
		uint32_t end = j + 1;
		while (end < m && keys[end] == keys[j])
			end++;
		std::sort(values + j - 1, values + end);
		j = end;
	}
}

void keysort(uint32_t *keys, int *values, int n)
{
	uint32_t start[NTOP + 1] = {};
	for (int i = 0; i < n; i++) {
		values[i] = i;
		start[(keys[i] >> TOPSHIFT) + 1]++;
	}
	uint32_t most = 0;
	for (int b = 1; b <= NTOP; b++) {
		most = std::max(most, start[b]);
		start[b] += start[b - 1];
	}
	partition(keys, values, start);

	uint64_t *scratch = nullptr;
	if (most > SMALL && !(scratch = static_cast<uint64_t *>(malloc(most * sizeof *scratch))))
		nomem();
	for (int b = 0; b < NTOP; b++) {
		uint32_t m = start[b + 1] - start[b];
		if (m <= SMALL)
			insertion(keys + start[b], values + start[b], m);
		else
			radix(keys + start[b], values + start[b], m, scratch);
	}
	free(scratch);
}

void permute(int *values, int n)
{
	if (n <= 0)
		return;
	auto keys = static_cast<uint32_t *>(bigalloc(size_t(n) * sizeof(uint32_t)));
	if (!keys)
		nomem();
	for (int i = 0; i < n; i++)
		keys[i] = static_cast<uint32_t>(random());
	keysort(keys, values, n);
	free(keys);
}

static const char twodigits[] =
	"00010203040506070809101112131415161718192021222324252627282930313233343536373839"
	"40414243444546474849505152535455565758596061626364656667686970717273747576777879"
	"8081828384858687888990919293949596979899";

// Digits are written in place, from the last, once the width is known.
size_t format_order(char *buf, const int *values, int count)
{
	char *p = buf;
	for (int i = 0; i < count; i++) {
		uint32_t v = uint32_t(values[i]) + 1;
		int width = 1;
		for (uint64_t power = 10; v >= power; power *= 10)
			width++;
		char *d = p + width;
		for (; v >= 100; v /= 100) {
			d -= 2;
			memcpy(d, twodigits + 2 * (v % 100), 2);
		}
		if (v >= 10)
			memcpy(d - 2, twodigits + 2 * v, 2);
		else
			d[-1] = char('0' + v);
		p += width;
		*p++ = ' ';
	}
	return p - buf;
}
