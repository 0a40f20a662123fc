#include "xfm_rms/rms.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "common/ieee.h"

// Every step under the NaN rule of common/ieee.h, so that a difference
// that is not a number prints the same on every machine.
double rms_difference(const float t1[16], const float t2[16], const Sphere &ball)
{
	double trace = 0, offset2 = 0;
	for (int i = 0; i < 3; i++) {
		double offset = fp_sub(double(t1[i + 12]), double(t2[i + 12]));
		for (int j = 0; j < 3; j++) {
			double dij = fp_sub(double(t1[i + 4 * j]), double(t2[i + 4 * j]));
			trace = fp_add(trace, fp_mul(dij, dij));
			offset = fp_add(offset, fp_mul(dij, ball.centre[j]));
		}
		offset2 = fp_add(offset2, fp_mul(offset, offset));
	}
	double r = ball.radius;
	double square = fp_add(fp_mul(fp_div(fp_mul(r, r), 5.0), trace), offset2);
	double root = sqrt(square);
	return root == root ? root : nan_of(square, square);
}

// A finite number that fills s up to a byte of stop; the text after it.
static const char *finite_number(const char *s, char stop, double &v)
{
	char *end;
	if (!*s || strchr(" \t\n\v\f\r", *s))
		return nullptr;
	v = strtod(s, &end);
	if (end == s || *end != stop || !std::isfinite(v))
		return nullptr;
	return end;
}

static bool parse_radius(const char *s, double &radius)
{
	return finite_number(s, '\0', radius) && radius > 0;
}

static bool parse_centre(const char *s, double centre[3])
{
	for (int i = 0; i < 3 && s; i++) {
		s = finite_number(s, i < 2 ? ',' : '\0', centre[i]);
		if (s && i < 2)
			s++;
	}
	return s != nullptr;
}

bool sphere_options(int argc, char *const argv[], Sphere &ball)
{
	for (int i = 1; i < argc; i++) {
		if (argv[i][0] != '-')
			continue;
		const char *value = strpbrk(argv[i], "rc");
		if (!value)
			continue;
		bool ok = *value == 'r' ? parse_radius(value + 1, ball.radius)
		                        : parse_centre(value + 1, ball.centre);
		if (!ok)
			return false;
	}
	return true;
}
