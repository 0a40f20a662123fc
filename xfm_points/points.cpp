#include "xfm_points/points.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/digits.h"
#include "xfm/matopr.h"

const char *read_number(const char *s, float &v)
{
	// strtod would skip white space, and a newline with it.
	if (is_space(*s))
		return nullptr;
	double d;
	const char *end = plain_decimal(s, d);
	// A plain decimal that ends at a separator is all that strtod would read.
	if (!end || !ends_number(*end)) {
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

// Writes n's digits backwards from end; returns where they begin.
static char *digits_before(char *end, uint64_t n)
{
	while (n >= 100) {
		end -= 2;
		memcpy(end, digit_pairs + 2 * (n % 100), 2);
		n /= 100;
	}
	if (n >= 10) {
		end -= 2;
		memcpy(end, digit_pairs + 2 * n, 2);
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
	memcpy(end, digit_pairs + 2 * (frac / 100), 2);
	memcpy(end + 2, digit_pairs + 2 * (frac % 100), 2);
	*--end = '.';
	char *first = digits_before(end, n / 10000);
	if (std::signbit(v))
		*--first = '-';
	size_t len = size_t(text + sizeof text - first);
	memcpy(buf, first, len);
	buf[len] = '\0';
	return len;
}
