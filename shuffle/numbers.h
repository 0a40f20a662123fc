// The numbers on shuffle's command line: its count and its seed.
#pragma once

// A decimal integer as strtol reads it, cut to its low 32 bits.
int low32(const char *s);

// The text after the first 's' of the last option group that holds one; 0
// without such a group.
int seed_option(int argc, char *const argv[]);
