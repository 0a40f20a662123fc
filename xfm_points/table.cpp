#include "xfm_points/table.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "xfm_points/points.h"

static bool is_blank(char c)
{
	return c == ' ' || c == '\t';
}

// A line with nothing to map: empty, blank, or a comment.
static bool is_verbatim(const char *s)
{
	while (is_space(*s))
		s++;
	return *s == '\0' || *s == '#';
}

// Skips blanks with at most one comma among them; nullptr when there is no
// separator at all.
static const char *skip_separator(const char *s)
{
	const char *start = s;
	while (is_blank(*s))
		s++;
	if (*s == ',')
		s++;
	while (is_blank(*s))
		s++;
	return s == start ? nullptr : s;
}

PointLine parse_point(const char *line, Point &p)
{
	const char *s = line;
	while (is_blank(*s))
		s++;
	for (int i = 0; i < 3; i++) {
		if (i > 0 && !(s = skip_separator(s)))
			return PointLine::bad;
		p.begin[i] = s;
		s = read_number(s, p.xyz[i]);
		if (!s || !ends_number(*s))
			return PointLine::bad;
		p.end[i] = s;
	}
	return PointLine::point;
}

// Moves s past the quoted part of a field that has one: from its opening
// double quote to the closing one, a doubled quote ("") within being part
// of the field; to the end of the line when none closes it.
static const char *skip_quoted(const char *s)
{
	if (*s != '"')
		return s;
	for (s++; *s && *s != '\n'; s++)
		if (*s == '"' && *++s != '"')
			return s;
	return s;
}

// Moves *at past the next field of a line split at separator, which is
// '\t', ',' or ' ' for runs of white space (before the first field too),
// and sets [*begin, *end) to it. A field whose first byte other than a
// blank is a double quote is read as a spreadsheet writes it: the
// separators within its quotes are its own. False when the line has no
// field left.
static bool next_field(const char **at, char separator, const char **begin, const char **end)
{
	const char *s = *at;
	if (!s)
		return false;
	if (separator == ' ') {
		while (is_space(*s))
			s++;
		if (!*s)
			return false;
	}
	*begin = s;
	while (*s == ' ')
		s++;
	s = skip_quoted(s);
	if (separator == ' ')
		while (*s && !is_space(*s))
			s++;
	else
		while (*s && *s != separator && *s != '\n')
			s++;
	*end = s;
	*at = separator == ' ' ? s : *s == separator ? s + 1 : nullptr;
	return true;
}

// Whether line, read as next_field reads it, has a field that separator ends.
static bool splits(const char *line, char separator)
{
	const char *at = line, *begin, *end;
	return next_field(&at, separator, &begin, &end) && at;
}

// Narrows [*begin, *end) to what stands between white space, and double
// quotes too when asked.
static void trim(const char **begin, const char **end, bool quotes)
{
	auto around = [quotes](char c) { return is_space(c) || (quotes && c == '"'); };
	while (*begin < *end && around(**begin))
		++*begin;
	while (*end > *begin && around((*end)[-1]))
		--*end;
}

// Whether [begin, end) is one number and nothing else. Every field ends at
// a byte that no number holds, so strtod stops there at the latest.
static bool is_number(const char *begin, const char *end)
{
	float v;
	return read_number(begin, v) == end;
}

// Whether [begin, end) names the coordinate c, 'x', 'y' or 'z', in any
// case; a unit after it in parentheses or brackets, "x (mm)", is dropped.
static bool names(const char *begin, const char *end, char c)
{
	if (end - begin > 1 && (end[-1] == ')' || end[-1] == ']')) {
		char open = end[-1] == ')' ? '(' : '[';
		const char *unit = end - 1;
		while (unit > begin && *unit != open)
			unit--;
		if (*unit == open) {
			end = unit;
			trim(&begin, &end, false);
		}
	}
	return end - begin == 1 && (*begin | 0x20) == c;
}

// Whether [begin, end) says that the coordinate is not known: "n/a", or
// nothing at all.
static bool unknown(const char *begin, const char *end)
{
	return begin == end || (end - begin == 3 && strncmp(begin, "n/a", 3) == 0);
}

// Takes line, the first that is neither blank nor a comment, as the header
// if none of its fields reads as a number. A spreadsheet may begin its
// file with a byte order mark, which is no part of the first name.
static bool read_header(const char *line, Table &t)
{
	const char *at = strncmp(line, "\xEF\xBB\xBF", 3) == 0 ? line + 3 : line;
	char separator = splits(at, '\t') ? '\t' : splits(at, ',') ? ',' : ' ';
	const size_t none = size_t(-1);
	size_t column[3] = {none, none, none};
	const char *begin, *end;
	for (size_t n = 0; next_field(&at, separator, &begin, &end); n++) {
		trim(&begin, &end, true);
		if (is_number(begin, end))
			return false;
		for (int i = 0; i < 3; i++)
			if (column[i] == none && names(begin, end, "xyz"[i]))
				column[i] = n;
	}
	t.header = true;
	t.separator = separator;
	if (column[0] != none && column[1] != none && column[2] != none)
		std::copy(column, column + 3, t.column);
	return true;
}

// The point of a line after the header: each point field holds a number
// with nothing but white space and double quotes around it, which stay. A
// row whose three point fields each hold "n/a" or nothing is a point not
// known, and stays as it is; a row with only some of them known is bad.
static PointLine read_row(const Table &t, const char *line, Point &p)
{
	size_t last = std::max({t.column[0], t.column[1], t.column[2]});
	int found = 0, missing = 0;
	const char *at = line, *begin, *end;
	for (size_t n = 0; n <= last && next_field(&at, t.separator, &begin, &end); n++) {
		int i = int(std::find(t.column, t.column + 3, n) - t.column);
		if (i == 3)
			continue;
		trim(&begin, &end, true);
		found++;
		if (unknown(begin, end)) {
			missing++;
			continue;
		}
		if (read_number(begin, p.xyz[i]) != end)
			return PointLine::bad;
		p.begin[i] = begin;
		p.end[i] = end;
	}
	if (found < 3 || (missing > 0 && missing < 3))
		return PointLine::bad;
	return missing == 3 ? PointLine::verbatim : PointLine::point;
}

PointLine read_point_line(Table &table, const char *line, Point &p)
{
	if (is_verbatim(line))
		return PointLine::verbatim;
	if (!table.started) {
		table.started = true;
		if (read_header(line, table))
			return PointLine::verbatim;
	}
	return table.header ? read_row(table, line, p) : parse_point(line, p);
}
