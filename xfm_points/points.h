// The lines of a point file and the printed form of a mapped point.
#pragma once

#include <cstddef>

enum class PointLine {
	verbatim,  // empty, blank or a comment: printed unchanged
	point,     // three numbers and the rest of the line
	bad,       // fewer than three numbers
};

struct Point {
	float xyz[3];       // the numbers as strtod reads them, rounded to single
	char separator;     // ',' when the first separator held a comma, else ' '
	const char *rest;   // the line after the third number, kept as it is
};

// Reads the first three numbers of line. They are separated by blanks or
// tabs with at most one comma among them, and each must end at such a
// separator (or, the third, at the end of the line).
PointLine parse_point(const char *line, Point &p);

// Room for any value that format_fixed4 writes, its NUL included.
enum { FIXED4_MAX = 64 };

// Writes v as "%.4f" would, into buf, and returns its length. Common values
// take a short exact path instead of printf's.
size_t format_fixed4(double v, char *buf);
