// What the passes of one expansion share: the working storage, and counts
// and lengths that saturate instead of wrapping.
#pragma once

#include <cstddef>
#include <cstdint>

#include "pattern_list/expandf.h"

namespace expansion {

// Counts and lengths saturate here, far beyond any buffer: an oversized
// count or product fails the length tests and never wraps into a small size.
constexpr uint64_t ceiling = uint64_t(1) << 62;

inline uint64_t add(uint64_t a, uint64_t b)
{
	return a + b < ceiling ? a + b : ceiling;
}

inline uint64_t mul(uint64_t a, uint64_t b)
{
	if (a == 0 || b == 0)
		return 0;
	return a > ceiling / b ? ceiling : a * b;
}

inline uint64_t max(uint64_t a, uint64_t b)
{
	return a > b ? a : b;
}

inline bool is_digit(char c)
{
	return c >= '0' && c <= '9';
}

// The decimal value of the n digits at s.
inline uint64_t number(const char *s, size_t n)
{
	uint64_t v = 0;
	for (size_t i = 0; i < n; i++)
		v = add(mul(v, 10), s[i] - '0');
	return v;
}

// The working text and the build buffer where each pass composes the next
// working text. After a failed pass len is the length of the working text
// as that pass left it, which the final check measures.
struct Work {
	char *text;
	char *build;
	size_t len;
	uint64_t limit;  // the longest text the storage holds
	bool speak;      // whether a failure prints why
};

// The build text, len characters, becomes the working text.
inline void adopt(Work &w, size_t len)
{
	char *t = w.text;
	w.text = w.build;
	w.build = t;
	w.text[len] = '\0';
	w.len = len;
}

// Prints the unbalanced-brackets message, when w speaks.
void unbalanced(const Work &w);

// The bracketed groups pass: one of expandf's results.
ExpandResult groups(Work &w);

}  // namespace expansion
