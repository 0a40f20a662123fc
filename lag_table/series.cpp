#include "lag_table/series.h"

#include <climits>
#include <cstdint>
#include <cstring>

#include "common/args.h"

static bool is_blank(char c)
{
	return c == ' ' || c == '\t';
}

// The fields of a line, cut out in place: each is ended by a NUL where its
// separator or its trailing blanks were.
struct Fields {
	char *p;
	char sep;  // '\t', ',' or ' ' for runs of blanks
	bool done = false;
};

// Whether c is a blank to trim around a field between separators: between
// tabs a space, between commas a tab too.
static bool is_trimmed(char c, char sep)
{
	return c == ' ' || (c == '\t' && sep == ',');
}

// The next field between runs of blanks, or null after the last.
static char *next_word(Fields &f)
{
	while (is_blank(*f.p))
		f.p++;
	if (!*f.p)
		return nullptr;
	char *field = f.p;
	while (*f.p && !is_blank(*f.p))
		f.p++;
	if (*f.p)
		*f.p++ = '\0';
	return field;
}

// The next field, or null after the last. Between tabs or commas every
// separator starts one more field, empty or not.
static char *next_field(Fields &f)
{
	if (f.sep == ' ')
		return next_word(f);
	if (f.done)
		return nullptr;
	while (is_trimmed(*f.p, f.sep))
		f.p++;
	char *field = f.p, *end = f.p;
	for (; *f.p && *f.p != f.sep; f.p++)
		if (!is_trimmed(*f.p, f.sep))
			end = f.p + 1;
	if (*f.p)
		f.p++;
	else
		f.done = true;
	*end = '\0';
	return field;
}

// A line's text without its newline and the carriage return before it.
static char *content(LineReader &in)
{
	char *line = in.line;
	size_t n = in.len;
	if (n && line[n - 1] == '\n')
		line[--n] = '\0';
	if (n && line[n - 1] == '\r')
		line[--n] = '\0';
	return line;
}

static bool is_skipped(const char *line)
{
	while (is_blank(*line))
		line++;
	return !*line || *line == '#';
}

static char separator(const char *line)
{
	return strchr(line, '\t') ? '\t' : strchr(line, ',') ? ',' : ' ';
}

static bool is_number(const char *field, double &v)
{
	return finite_number(field, '\0', v) != nullptr;
}

// Appends text and its NUL to buf at *used.
static bool append(Buffer &buf, size_t &used, const char *text, size_t n)
{
	if (!reserve(buf, used + n + 1))
		return false;
	memcpy(buf.data + used, text, n);
	buf.data[used + n] = '\0';
	used += n + 1;
	return true;
}

// The name of a region without a label: rN, N its column from 1.
static bool add_name(Buffer &labels, size_t &used, int column)
{
	char name[16];
	return append(labels, used, name, snprintf(name, sizeof name, "r%d", column));
}

// A field as a label: one pair of surrounding quotes removed, rN when
// nothing is left. Every byte lag_pool would not read as part of one label
// is made '_': blanks and control bytes, bytes from 0x80 up, which part
// labels there, and '#', which starts a header line there.
static bool add_label(Buffer &labels, size_t &used, char *field, int column)
{
	size_t n = strlen(field);
	if (n >= 2 && field[0] == '"' && field[n - 1] == '"') {
		field++;
		n -= 2;
	}
	for (size_t i = 0; i < n; i++) {
		unsigned char c = field[i];
		if (c <= 0x20 || c >= 0x7f || c == '#')
			field[i] = '_';
	}
	return n > 0 ? append(labels, used, field, n) : add_name(labels, used, column);
}

// Makes room for one more row of nreg values.
static bool room_for_row(Series &s)
{
	uint64_t row = uint64_t(s.nreg) * sizeof(double);
	if (uint64_t(s.frames) + 1 > SIZE_MAX / row)
		return false;
	return reserve(s.values, size_t(s.frames + 1) * row);
}

// The first line read: the regions' labels, or the first frame when header
// is false and every field is a number. With the lines that are not skipped
// counted ahead (rows), room is made for all the frames at once.
static Fault first_line(char *line, char sep, bool header, long long rows, Series &s)
{
	Fields f{line, sep};
	size_t used = 0;
	bool is_frame = !header;
	for (char *field; (field = next_field(f));) {
		if (s.nreg == INT_MAX)
			return Fault::format;
		double v = 0;
		if (!is_number(field, v))
			is_frame = false;
		s.nreg++;
		if (!room_for_row(s))
			return Fault::memory;
		reinterpret_cast<double *>(s.values.data)[s.nreg - 1] = v;
		if (!add_label(s.labels, used, field, s.nreg))
			return Fault::memory;
	}
	long long frames = rows - !is_frame;
	if (frames > 0 && s.nreg > 0) {
		if (uint64_t(frames) > SIZE_MAX / sizeof(double) / s.nreg ||
		    !reserve(s.values, size_t(frames) * s.nreg * sizeof(double)))
			return Fault::memory;
	}
	if (!is_frame)
		return Fault::none;
	used = 0;
	for (int r = 1; r <= s.nreg; r++)
		if (!add_name(s.labels, used, r))
			return Fault::memory;
	s.frames = 1;
	return Fault::none;
}

// A frame: exactly nreg numbers.
static Fault frame_line(char *line, char sep, Series &s)
{
	if (!room_for_row(s))
		return Fault::memory;
	double *row = reinterpret_cast<double *>(s.values.data) + size_t(s.frames) * s.nreg;
	Fields f{line, sep};
	int n = 0;
	for (char *field; (field = next_field(f)); n++)
		if (n == s.nreg || !is_number(field, row[n]))
			return Fault::format;
	if (n < s.nreg)
		return Fault::format;
	s.frames++;
	return Fault::none;
}

// The line's text, without a byte order mark that begins the stream.
static char *text_of(LineReader &in, long long line)
{
	char *text = content(in);
	if (line == 1 && strncmp(text, "\xEF\xBB\xBF", 3) == 0)
		text += 3;
	return text;
}

// The lines that are not skipped, counted in a first reading of a stream
// that can be read again from where it stands (a regular file), so that
// the values take the memory of the frames and no more; 0 for any other
// stream, which the values then grow with.
static long long count_rows(FILE *fp, LineReader &in)
{
	long start = ftell(fp);
	if (start < 0)
		return 0;
	long long rows = 0;
	for (long long line = 1; read_line(in, fp); line++)
		rows += !is_skipped(text_of(in, line));
	bool again = in.fault == Fault::none;
	if (fseek(fp, start, SEEK_SET) != 0) {
		clearerr(fp);
		return 0;
	}
	return again ? rows : 0;
}

Fault read_series(FILE *fp, LineReader &in, bool header, Series &s, long long *line)
{
	long long rows = count_rows(fp, in);
	char sep = 0;
	for (*line = 1; read_line(in, fp); ++*line) {
		char *text = text_of(in, *line);
		if (is_skipped(text))
			continue;
		Fault fault;
		if (!sep) {
			sep = separator(text);
			fault = first_line(text, sep, header, rows, s);
		} else {
			fault = frame_line(text, sep, s);
		}
		if (fault != Fault::none) {
			if (fault != Fault::format)
				*line = 0;
			return fault;
		}
	}
	if (in.fault != Fault::none)
		*line = 0;
	return in.fault;
}

const char *next_label(const char *label)
{
	return label + strlen(label) + 1;
}
