// Reading list files and lag tables: whole lines of any length, the tokens
// on them and the numbers those tokens stand for.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string_view>
#include <vector>

#include "common/split.h"

// Hands out the lines of a stream one by one, reading it in large blocks.
// The buffer is kept from one stream to the next.
struct LineReader {
	FILE *fp;
	std::vector<char> buf;
	size_t start;     // the first byte not handed out yet
	size_t searched;  // bytes after start known to hold no newline
	size_t end;       // the end of the bytes read
	bool eof;         // the stream has nothing more
};

void begin_lines(LineReader &in, FILE *fp);

// Points *line at the next line and sets *len to its length, newline
// included (only the last line of a stream may lack one). The line may be
// changed in place until the next call. Returns false at the end of the
// stream, and when reading failed: ferror tells the two apart.
bool next_line(LineReader &in, char **line, size_t *len);

// The next token in [*p, end): a maximal run of graphic bytes. *p moves past
// it. Empty when none is left.
inline std::string_view next_token(const char **p, const char *end)
{
	const char *s = *p;
	while (s < end && !is_graphic(*s))
		s++;
	const char *first = s;
	while (s < end && is_graphic(*s))
		s++;
	*p = s;
	return {first, size_t(s - first)};
}

size_t count_tokens(const char *line, const char *end);

// A header line gives '#' no meaning of its own: every one becomes a blank.
void blank_hashes(char *line, size_t len);

// A value: what strtod reads from the token, taken to single precision.
float cell_value(std::string_view tok);

// A lag: the base-10 integer prefix that strtol reads from the token, kept
// to its low 32 bits as a 32-bit int does.
int lag_value(std::string_view tok);

// Reads a data line that must hold the lag `lag` and then exactly nreg
// values into values[0..nreg-1]. Returns false when it does not.
bool read_data_line(const char *line, const char *end, int lag, float *values, int nreg);
