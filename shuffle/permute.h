// Seeded random permutations: the positions 0..n-1 listed in ascending
// order of a key drawn for each from the C library's generator.
#pragma once

#include <cstdint>

// The sequence random() gives after srandom(seed), from a state of our
// own: glibc's default state (128 bytes, an additive feedback generator on
// a table of 31 words), seeded by initstate_r as srandom seeds it, and
// stepped here as random_r steps it, without the lock random() takes and
// the call random_r costs on every number. The tests hold it to random().
// It points into itself, so it is never copied.
struct Generator {
	int32_t state[32];
	int32_t *table, *end, *front, *rear;

	explicit Generator(uint32_t seed);
	Generator(const Generator &) = delete;
	Generator &operator=(const Generator &) = delete;

	uint32_t draw()
	{
		uint32_t sum = uint32_t(*front) + uint32_t(*rear);
		*front = int32_t(sum);
		if (++front == end)
			front = table;
		if (++rear == end)
			rear = table;
		return sum >> 1;
	}
};

// Fills values[0..n-1] with a permutation of 0..n-1: a key is drawn for
// each position in index order from the generator seeded with seed, and
// the positions are listed in ascending order of their keys, equal keys in
// position order. False, with values undefined, when its working arrays do
// not fit the run's memory.
bool permute(int *values, int n, uint32_t seed);
