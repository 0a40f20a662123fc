// The lines of a point file. Its first line that is neither blank nor a
// comment may be a header naming the columns, which then holds for the
// whole file; without one, each line begins with its point.
#pragma once

#include <cstddef>

enum class PointLine {
	verbatim,  // empty, blank, a comment or the header: printed unchanged
	point,     // a point, to be mapped in place
	bad,       // no point where the file puts it
};

// A line's point: its three numbers and where their texts stand in the
// line, which the mapped values replace.
struct Point {
	float xyz[3];          // as strtod reads them, rounded to single
	const char *begin[3];  // the text of x, y and z
	const char *end[3];
};

// What the first line that is neither blank nor a comment made of the file.
struct Table {
	bool started = false;          // that line has been read
	bool header = false;           // it was a header: the point stands in columns
	char separator = ' ';          // the header's: '\t', ',' or ' ' for runs of blanks
	size_t column[3] = {0, 1, 2};  // the fields, from 0, of x, y and z
};

// Reads a line of the file described by table, which its first line that
// is neither blank nor a comment sets up: that line is a header when none
// of its fields reads as a number. Its fields are split at tabs if it holds
// one, else at commas if it holds one, else at runs of blanks; a field that
// begins with a double quote (blanks before it aside) runs to the closing
// quote, the separators and doubled quotes within being its own. The fields
// named x, y and z (in any case, blanks and double quotes around them
// trimmed, and a unit after them in parentheses or brackets dropped: "x
// (mm)", "Y [mm]") hold the point, or else the first three do. After a
// header, each point field holds a number with nothing but blanks and
// double quotes around it; a row whose three point fields each hold "n/a"
// or nothing is verbatim, and one with only some of them so is bad.
PointLine read_point_line(Table &table, const char *line, Point &p);

// Reads a line that begins with its point: three numbers separated by
// blanks or tabs with at most one comma among them, each ending at such a
// separator (the third at the end of the line), blanks before the first.
PointLine parse_point(const char *line, Point &p);
