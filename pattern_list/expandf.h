// Expansion of compact format strings: a count repeats the symbol or the
// bracketed group after it ("3x" is "xxx", "2(+-)" is "+-+-"), and the
// letters C, S, c and s take a count written after them and stand for a
// block that ends in '~' ("C3" is "CC~").
#pragma once

// What expandf returns.
enum class ExpandResult {
	done = 0,        // buf holds the expansion
	reported = 1,    // a message said why the format cannot be expanded
	outgrown = -1,   // an intermediate text outgrew the working storage
	no_memory = -2,  // the working storage could not be had
};

// Rewrites the format text held in buf, a buffer of bufsize bytes, into its
// expansion. Returns ExpandResult::done on success (at once for an empty
// format). It prints only when it returns ExpandResult::reported: why, on
// standard output for unbalanced brackets, on standard error for an
// expansion too long; a caller that says why itself passes speak false,
// and then nothing is printed. On failure buf is left exactly as it was. A
// buffer that holds no terminator is a format too long for it.
ExpandResult expandf(char *buf, int bufsize, bool speak = true);
