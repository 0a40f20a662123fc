// The order shuffle prints: its memory and its digits.
#pragma once

#include <cstddef>

// malloc for arrays that grow with n. The bytes are taken from the run's
// memory budget first: null when they do not fit, or when malloc fails.
// Freed, and given back, by budget_free (common/budget.h).
// Big blocks are placed on huge page boundaries and marked for huge pages,
// since faulting fresh memory in page by page costs more than filling it.
void *bigalloc(size_t bytes);

// Writes values[0..count-1], each plus 1, as printf's "%d " would into buf,
// which must hold 11 bytes per value; returns the number of bytes written.
// Every value must lie in 0..2^31-2.
size_t format_order(char *buf, const int *values, int count);
