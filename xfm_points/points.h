// The lines of a point file and the printed form of a mapped point.
#pragma once

#include <cstddef>

enum class PointLine {
	verbatim,  // empty, blank or a comment: printed unchanged
	point,     // three numbers and the rest of the line
	bad,       // fewer than three numbers
};

struct Point {
	float xyz[3];      // the numbers as strtod reads them, rounded to single
	char separator;    // ',' when the first separator held a comma, else ' '
	const char *rest;  // the line after the third number, kept as it is
};

// Reads the first three numbers of line. They are separated by blanks or
// tabs with at most one comma among them, and each must end at such a
// separator (or, the third, at the end of the line).
PointLine parse_point(const char *line, Point &p);

// out = the point xyz mapped by the transform t4: coordinate i is
// ((m_i1 x + m_i2 y) + m_i3 z) + m_i4 in single precision, each product
// rounded before it is added, the sum begun from +0: the matrix unit's
// product with (x, y, z, 1).
void map_point(const float t4[16], const float xyz[3], float out[3]);

// Room for any value that format_fixed4 writes, its NUL included.
enum { FIXED4_MAX = 64 };

// Writes v as "%.4f" would, into buf, and returns its length. Common values
// take a short exact path instead of printf's.
size_t format_fixed4(double v, char *buf);
