#include "xfm/rms.h"

#include <cmath>

#include "common/args.h"
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

bool sphere_options(int argc, char *const argv[], Sphere &ball)
{
	for (int at = 0; const char *option = next_option(argc, argv, "rc", at);) {
		bool ok = *option == 'r' ? option_numbers(option + 1, &ball.radius, 1) && ball.radius > 0
		                         : option_numbers(option + 1, ball.centre, 3);
		if (!ok)
			return false;
	}
	return true;
}
