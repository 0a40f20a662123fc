// Seeded random permutations: the positions 0..n-1 listed in ascending
// order of a key drawn for each from the C library's generator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// The sequence random() gives after srandom(seed), drawn from a state of
// our own by random_r, without the lock random() takes on every call. The
// state is glibc's default one: 128 bytes, seeded as srandom seeds it.
// It points into itself, so it is never copied.
struct generator {
	random_data data;
	int32_t state[32];

	explicit generator(uint32_t seed);
	generator(const generator &) = delete;
	generator &operator=(const generator &) = delete;

	uint32_t draw()
	{
		int32_t value;
		random_r(&data, &value);
		return uint32_t(value);
	}
};

// Fills values[0..n-1] with a permutation of 0..n-1: a key is drawn for
// each position in index order from the generator seeded with seed, and
// the positions are listed in ascending order of their keys, equal keys in
// position order. False, with values undefined, when its working arrays do
// not fit the run's memory.
bool permute(int *values, int n, uint32_t seed);
