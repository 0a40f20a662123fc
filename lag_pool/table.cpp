#include "lag_pool/table.h"

#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

// A block is larger than a table line of a few hundred regions, so most
// lines are found in the buffer as read.
static const size_t block_size = 1 << 17;

void begin_lines(LineReader &in, FILE *fp)
{
	in.fp = fp;
	if (in.buf.empty())
		in.buf.resize(block_size);
	in.start = in.searched = in.end = 0;
	in.eof = false;
}

// Moves the bytes not handed out to the front, makes room when a line fills
// the whole buffer, and reads what fits behind them.
static void refill(LineReader &in)
{
	if (in.start > 0) {
		memmove(in.buf.data(), in.buf.data() + in.start, in.end - in.start);
		in.end -= in.start;
		in.start = 0;
	}
	if (in.end == in.buf.size())
		in.buf.resize(2 * in.buf.size());
	size_t n = fread(in.buf.data() + in.end, 1, in.buf.size() - in.end, in.fp);
	in.end += n;
	in.eof = n == 0;
}

bool next_line(LineReader &in, char **line, size_t *len)
{
	for (;;) {
		char *p = in.buf.data() + in.start;
		size_t have = in.end - in.start;
		char *nl = static_cast<char *>(memchr(p + in.searched, '\n', have - in.searched));
		if (nl || (in.eof && have > 0)) {
			*line = p;
			*len = nl ? size_t(nl + 1 - p) : have;
			in.start += *len;
			in.searched = 0;
			return true;
		}
		if (in.eof)
			return false;
		in.searched = have;
		refill(in);
	}
}

size_t count_tokens(const char *line, const char *end)
{
	size_t n = 0;
	while (!next_token(&line, end).empty())
		n++;
	return n;
}

void blank_hashes(char *line, size_t len)
{
	for (size_t i = 0; i < len; i++)
		if (line[i] == '#')
			line[i] = ' ';
}

// True when std::from_chars reads the token as strtod does. It reads the
// same decimal forms to the same correctly rounded double, but not strtod's
// leading '+', its hexadecimal form or its spellings of infinity and NaN.
static bool decimal_form(const char *p, const char *end)
{
	if (p < end && *p == '-')
		p++;
	if (p == end)
		return false;
	if (*p == '.')
		return true;
	if (*p < '0' || *p > '9')
		return false;
	return !(*p == '0' && end - p > 1 && (p[1] == 'x' || p[1] == 'X'));
}

float cell_value(std::string_view tok)
{
	const char *first = tok.data(), *last = first + tok.size();
	double d;
	if (decimal_form(first, last) && std::from_chars(first, last, d).ec == std::errc())
		return static_cast<float>(d);
	// Every other form, and values beyond the range of a double, take
	// strtod's own result: its infinities, zeros and 0 for no number.
	return static_cast<float>(strtod(std::string(tok).c_str(), nullptr));
}

int lag_value(std::string_view tok)
{
	return static_cast<int32_t>(strtol(std::string(tok).c_str(), nullptr, 10));
}

bool read_data_line(const char *line, const char *end, int lag, float *values, int nreg)
{
	std::string_view tok = next_token(&line, end);
	if (tok.empty() || lag_value(tok) != lag)
		return false;
	for (int r = 0; r < nreg; r++) {
		tok = next_token(&line, end);
		if (tok.empty())
			return false;
		values[r] = cell_value(tok);
	}
	return next_token(&line, end).empty();
}
