#include "xfm_rms/rms.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

double rms_difference(const float t1[16], const float t2[16], const Sphere &ball)
{
	double trace = 0, offset2 = 0;
	for (int i = 0; i < 3; i++) {
		double offset = double(t1[i + 12]) - double(t2[i + 12]);
		for (int j = 0; j < 3; j++) {
			double dij = double(t1[i + 4 * j]) - double(t2[i + 4 * j]);
			trace += dij * dij;
			offset += dij * ball.centre[j];
		}
		offset2 += offset * offset;
	}
	double r = ball.radius;
	return sqrt(r * r / 5 * trace + offset2);
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
