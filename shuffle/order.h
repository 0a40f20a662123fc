// The digits of the order shuffle prints.
#pragma once

#include <cstddef>

// Writes values[0..count-1], each plus 1, as printf's "%d " would into buf,
// which must hold 11 bytes per value; returns the number of bytes written.
// Every value must lie in 0..2^31-2.
size_t format_order(char *buf, const int *values, int count);
