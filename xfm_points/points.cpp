#include "xfm_points/points.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "xfm/matopr.h"

// Where a plain decimal may end without strtod having to look further: a
// separator or the end of the line.
static bool ends_plainly(char c)
{
	return c == ' ' || c == '\t' || c == ',' || c == '\n' || c == '\r' || c == '\0';
}

static bool is_digit(char c)
{
	return c >= '0' && c <= '9';
}

// The plain decimals of most point files, "-12.345" say, without strtod's
// cost: with at most 15 digits both the digits and the power of ten are
// exact doubles, so their quotient is the correctly rounded value that
// strtod gives. nullptr for any other form.
static const char *plain_decimal(const char *s, double &v)
{
	static const double tens[] = {1,   1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
	                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
	const char *p = s + (*s == '-' || *s == '+');
	uint64_t digits = 0;
	int count = 0, decimals = 0;
	for (; is_digit(*p); p++, count++)
		digits = digits * 10 + uint64_t(*p - '0');
	if (*p == '.')
		for (p++; is_digit(*p); p++, count++, decimals++)
			digits = digits * 10 + uint64_t(*p - '0');
	if (count == 0 || count > 15 || !ends_plainly(*p))
		return nullptr;
	v = double(digits) / tens[decimals];
	if (*s == '-')
		v = -v;
	return p;
}

const char *read_number(const char *s, float &v)
{
	// strtod would skip white space, and a newline with it.
	if (*s == ' ' || (*s >= '\t' && *s <= '\r'))
		return nullptr;
	double d;
	const char *end = plain_decimal(s, d);
	if (!end) {
		char *stop;
		d = strtod(s, &stop);
		if (stop == s)
			return nullptr;
		end = stop;
	}
	v = float(d);
	return end;
}

void map_point(const float t4[16], const float xyz[3], float out[3])
{
	float in[4] = {xyz[0], xyz[1], xyz[2], 1.0f}, product[4];
	matmulg(t4, 4, 4, in, 1, product);
	for (int i = 0; i < 3; i++)
		out[i] = product[i];
}

// A float times 10^4 is exact in double below this bound (24 + 14 bits of
// mantissa), so rounding it to an integer rounds the decimal value itself,
// ties to even, as printf does.
static const double fast_limit = 1e11;

// Below 2^52, adding 2^52 rounds a double to an integer, ties to even, and
// subtracting it again gives that integer exactly.
static double round_even(double x)
{
	const double shift = 4503599627370496.0;  // 2^52
	return (x + shift) - shift;
}

// "00" to "99".
static const char pairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
			    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
			    "8081828384858687888990919293949596979899";

// Writes n's digits backwards from end; returns where they begin.
static char *digits_before(char *end, uint64_t n)
{
	while (n >= 100) {
		end -= 2;
		memcpy(end, pairs + 2 * (n % 100), 2);
		n /= 100;
	}
	if (n >= 10) {
		end -= 2;
		memcpy(end, pairs + 2 * n, 2);
	} else {
		*--end = char('0' + n);
	}
	return end;
}

size_t format_fixed4(double v, char *buf)
{
	double mag = fabs(v);
	if (!(mag < fast_limit) || double(float(v)) != v)
		return size_t(snprintf(buf, FIXED4_MAX, "%.4f", v));
	uint64_t n = uint64_t(round_even(mag * 1e4));
	uint64_t frac = n % 10000;
	char text[24], *end = text + sizeof text;
	end -= 4;
	memcpy(end, pairs + 2 * (frac / 100), 2);
	memcpy(end + 2, pairs + 2 * (frac % 100), 2);
	*--end = '.';
	char *first = digits_before(end, n / 10000);
	if (std::signbit(v))
		*--first = '-';
	size_t len = size_t(text + sizeof text - first);
	memcpy(buf, first, len);
	buf[len] = '\0';
	return len;
}
