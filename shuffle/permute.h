// Seeded random permutations: the positions 0..n-1 listed in ascending
// order of a key drawn for each from random().
#pragma once

#include <cstddef>
#include <cstdint>

// A sort record of the plain method: a position and the key drawn for it.
struct serec {
	int32_t index;
	int64_t key;
};

// Orders sort records by ascending key (a qsort comparator): the difference
// of the low 32 bits of the keys, wrapped and taken as a signed int. Keys of
// random() lie below 2^31, so the difference never wraps. permute sorts by
// radix instead; the tests check it against qsort with this comparator.
int secompare(const void *a, const void *b);

// Fills values[0..n-1] with a permutation of 0..n-1: draws exactly n keys
// from random(), one per position in index order, and lists the positions
// in ascending order of their keys, equal keys in position order.
void permute(int *values, int n);

// Lists in values[0..n-1] the positions 0..n-1 in ascending order of
// keys[position], equal keys in position order. Every key must be below
// 2^31. keys is used as scratch: it is left sorted.
void keysort(uint32_t *keys, int *values, int n);

// malloc for arrays of millions of entries: big blocks are placed on huge
// page boundaries and marked for huge pages, since faulting fresh memory in
// page by page costs more than sorting it. Released with free.
void *bigalloc(size_t bytes);

// Writes values[0..count-1], each plus 1, as printf's "%d " would into buf,
// which must hold 11 bytes per value; returns the number of bytes written.
// Every value must lie in 0..2^31-2.
size_t format_order(char *buf, const int *values, int count);
