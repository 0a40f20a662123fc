// The tokens of a line: maximal runs of graphic bytes (0x21 to 0x7E). Every
// other byte separates them, and a NUL ends the line.
#pragma once

#include <cstddef>
#include <string_view>

inline bool is_graphic(char c)
{
	return c > 0x20 && c < 0x7f;
}

// The first token at or after *p, which then points just past it. Empty at
// the end of the line. A token is followed by a byte that is not graphic, so
// strtod or strtol on its first byte reads no further than its end.
inline std::string_view next_token(const char **p)
{
	const char *s = *p;
	while (!is_graphic(*s) && *s)
		s++;
	const char *first = s;
	while (is_graphic(*s))
		s++;
	*p = s;
	return {first, size_t(s - first)};
}

size_t count_tokens(const char *line);

// Ends the line at its first '#': a transform file reads the rest as a
// comment.
void cut_comment(char *line);
