#include "lag_pool/subject_table.h"

#include <charconv>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "common/digits.h"
#include "common/integers.h"
#include "common/prog.h"
#include "common/tokens.h"

// A header line gives '#' no meaning of its own: every one becomes a blank.
static void blank_hashes(char *line)
{
	for (char *c = line; *c; c++)
		if (*c == '#')
			*c = ' ';
}

// Appends len bytes to the subject's text.
static bool echo(Subject &s, const char *bytes, size_t len)
{
	if (!reserve(s.text, s.textlen + len))
		return false;
	memcpy(s.text.data + s.textlen, bytes, len);
	s.textlen += len;
	return true;
}

// Makes s the table at path, its text the "Reading:" line, the path's
// control bytes shown; false when that does not fit the budget.
static bool begin_subject(Subject &s, const char *path)
{
	s.textlen = 0;
	s.nrows = 0;
	s.has_labels = false;
	const char *reading = "Reading: ";
	bool echoed = echo(s, reading, strlen(reading));
	for (const char *c = path; echoed && *c; c++) {
		char shown[4];
		echoed = echo(s, shown, size_t(shown_byte(*c, shown)));
	}
	return echoed && echo(s, "\n", 1);
}

// Keeps the header line, '#' made blank, as the subject's labels.
static bool keep_line(const char *line, Subject &s)
{
	size_t len = strlen(line);
	if (!reserve(s.labels, len + 1))
		return false;
	memcpy(s.labels.data, line, len + 1);
	s.has_labels = true;
	return true;
}

// A header line whose tokens ('#' made blank) are the lag column and one
// label per region is kept: it replaces every label when the table is summed.
static bool keep_labels(char *line, int nreg, Subject &s)
{
	blank_hashes(line);
	return count_tokens(line) != size_t(nreg) + 1 || keep_line(line, s);
}

// The last header line before the first data line names every region: it
// is the first table's labels, as read_table would keep it.
Fault measure_table(FILE *fp, const char *path, LineReader &in, int &nreg, int &mlag, Subject &first)
{
	if (!begin_subject(first, path))
		return Fault::memory;
	size_t ntok = 0;  // tokens of the last header line: the lag column and the labels
	while (read_line(in, fp)) {
		char *line = in.line;
		if (line[0] == '#') {
			if (!echo(first, line, in.len))
				return Fault::memory;
			blank_hashes(line);
			ntok = count_tokens(line);
			if (!keep_line(line, first))
				return Fault::memory;
			continue;
		}
		if (ntok < 2 || ntok > INT_MAX || count_tokens(line) != ntok)
			return Fault::format;
		const char *rest = line;
		int lag = lag_value(next_token(&rest));
		if (lag >= 0 || lag == INT_MIN)
			return Fault::format;
		nreg = static_cast<int>(ntok - 1);
		mlag = -lag;
		return Fault::none;
	}
	return in.fault == Fault::none ? Fault::format : in.fault;
}

Fault read_table(FILE *fp, LineReader &in, int nreg, int mlag, Subject &s, const std::atomic<bool> *stop)
{
	float *rows = reinterpret_cast<float *>(s.rows.data);
	while (read_line(in, fp)) {
		if (stop && stop->load(std::memory_order_relaxed))
			break;
		char *line = in.line;
		if (line[0] == '#') {
			if (!echo(s, line, in.len) || !keep_labels(line, nreg, s))
				return Fault::memory;
			continue;
		}
		float *row = rows + size_t(s.nrows) * nreg;
		if (s.nrows == 2 * mlag + 1 || !read_data_line(line, s.nrows - mlag, row, nreg))
			return Fault::format;
		s.nrows++;
	}
	return in.fault;
}

void read_subject(FILE *fp, const char *path, LineReader &in, int nreg, int mlag, Subject &s,
                  const std::atomic<bool> *stop)
{
	if (!fp) {
		s.textlen = 0;
		s.nrows = 0;
		s.has_labels = false;
		s.fault = in.fault;
		return;
	}
	if (!begin_subject(s, path))
		s.fault = Fault::memory;
	else
		s.fault = read_table(fp, in, nreg, mlag, s, stop);
	fclose(fp);
}

void read_first(FILE *fp, LineReader &in, int nreg, int mlag, Subject &first)
{
	// measure_table checked the data line's lag and its count of tokens.
	read_data_line(in.line, -mlag, reinterpret_cast<float *>(first.rows.data), nreg);
	first.nrows = 1;
	first.fault = read_table(fp, in, nreg, mlag, first);
	fclose(fp);
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
	if (const char *end = plain_decimal(first, d); end && end == last)
		return static_cast<float>(d);
	if (decimal_form(first, last) && std::from_chars(first, last, d).ec == std::errc())
		return static_cast<float>(d);
	// Every other form, and values beyond the range of a double, take
	// strtod's own result: its infinities, zeros and 0 for no number.
	return static_cast<float>(strtod(first, nullptr));
}

int lag_value(std::string_view tok)
{
	return read_low32(tok.data());
}

// The next token of the line as a value, *p moving past it; false when the
// line has no token left. A plain decimal is read in the same pass that
// finds the token's end.
static bool next_value(const char **p, float &value)
{
	const char *s = *p;
	while (!is_graphic(*s) && *s)
		s++;
	if (!*s)
		return false;
	double d;
	if (const char *end = plain_decimal(s, d); end && !is_graphic(*end)) {
		value = static_cast<float>(d);
		*p = end;
		return true;
	}
	*p = s;
	value = cell_value(next_token(p));
	return true;
}

bool read_data_line(const char *line, int lag, float *values, int nreg)
{
	std::string_view tok = next_token(&line);
	if (tok.empty() || lag_value(tok) != lag)
		return false;
	for (int r = 0; r < nreg; r++)
		if (!next_value(&line, values[r]))
			return false;
	return next_token(&line).empty();
}
