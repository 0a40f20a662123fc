// The numbers of a point file: reading them, mapping a point, and the
// printed form of a mapped coordinate.
#pragma once

#include <cstddef>

// White space, as strtod skips it.
inline bool is_space(char c)
{
	return c == ' ' || (c >= '\t' && c <= '\r');
}

// Where a number of a line without a header ends: a blank, a tab, a comma
// or the end of the line.
inline bool ends_number(char c)
{
	return c == ' ' || c == '\t' || c == ',' || c == '\n' || c == '\r' || c == '\0';
}

// Reads the number at s, in any form that strtod reads, into v, rounded to
// single precision, and returns where it ends; nullptr when s does not
// begin with one (white space included).
const char *read_number(const char *s, float &v);

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
