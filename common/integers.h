// Decimal integers in arguments and files, read the same on every machine:
// with the range of a 64-bit long, as strtol reads them on x86-64 Linux,
// whatever the width of long where the program runs.
#pragma once

#include <cstdint>

// The base-10 integer that strtol reads at the start of s (leading blanks,
// a sign, digits; 0 when there is none), saturated at the limits of
// int64_t. *end, when given, points past what was read.
int64_t read_int64(const char *s, char **end = nullptr);

// The same value kept to its low 32 bits, as a signed 32-bit int.
int32_t read_low32(const char *s);
