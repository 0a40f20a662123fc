#include "xfm_make/make.h"

#include <cmath>

#include "common/args.h"

bool part_options(int argc, char *const argv[], Parts &parts, float &scale)
{
	double intensity = 0;
	for (int at = 0; const char *option = next_option(argc, argv, "trska", at);) {
		const char *value = option + 1;
		bool ok = true;
		switch (*option) {
		case 't':
			ok = option_numbers(value, parts.translation, 3);
			break;
		case 'r':
			ok = option_numbers(value, parts.angles, 3);
			break;
		case 's':
			ok = option_numbers(value, parts.scales, 3);
			for (double s : parts.scales)
				ok = ok && float(s) != 0;
			break;
		case 'k':
			ok = option_numbers(value, parts.shears, 3);
			break;
		case 'a':
			ok = option_numbers(value, &intensity, 1);
			break;
		}
		if (!ok)
			return false;
	}
	scale = float(intensity);
	return std::isfinite(scale);
}

// 1 - x2/(n(n+1)) (1 - x2/((n+2)(n+3)) (1 - ...)): the Taylor series of
// cos x (n = 1) and of sin x / x (n = 2) in x2 = x^2, to the terms below the
// rounding of the result for |x| <= pi/4.
static double taylor(double x2, int n)
{
	double sum = 1;
	for (int k = n + 16; k >= n; k -= 2)
		sum = 1 - x2 / (k * (k + 1)) * sum;
	return sum;
}

void sincos_degrees(double degrees, double &sine, double &cosine)
{
	// degrees = 90 quarter + rest with |rest| <= 45, both steps exact.
	double turn = fmod(degrees, 360);
	double quarter = nearbyint(turn / 90);
	double rest = turn - 90 * quarter;
	double x = rest * (M_PI / 180);
	double s = x * taylor(x * x, 2), c = taylor(x * x, 1);
	switch ((int(quarter) + 4) % 4) {
	case 0:
		sine = s, cosine = c;
		break;
	case 1:
		sine = c, cosine = -s;
		break;
	case 2:
		sine = -s, cosine = -c;
		break;
	default:
		sine = -c, cosine = s;
		break;
	}
}

typedef double Matrix[3][3];

// c = a b, each sum from +0 in index order; c may be a or b.
static void product(const Matrix a, const Matrix b, Matrix c)
{
	Matrix r;
	for (int i = 0; i < 3; i++)
		for (int j = 0; j < 3; j++) {
			double sum = 0;
			for (int k = 0; k < 3; k++)
				sum += a[i][k] * b[k][j];
			r[i][j] = sum;
		}
	for (int i = 0; i < 3; i++)
		for (int j = 0; j < 3; j++)
			c[i][j] = r[i][j];
}

void make_linear(const Parts &parts, double l[3][3])
{
	double s[3], c[3];
	for (int i = 0; i < 3; i++)
		sincos_degrees(parts.angles[i], s[i], c[i]);
	const Matrix rx = {{1, 0, 0}, {0, c[0], -s[0]}, {0, s[0], c[0]}};
	const Matrix ry = {{c[1], 0, s[1]}, {0, 1, 0}, {-s[1], 0, c[1]}};
	const Matrix rz = {{c[2], -s[2], 0}, {s[2], c[2], 0}, {0, 0, 1}};
	const double *d = parts.scales, *k = parts.shears;
	const Matrix sk = {{d[0], d[0] * k[0], d[0] * k[1]}, {0, d[1], d[1] * k[2]}, {0, 0, d[2]}};
	Matrix r;
	product(ry, rx, r);
	product(rz, r, r);
	product(r, sk, l);
}

bool make_xfm(const Parts &parts, float t4[16])
{
	double l[3][3];
	make_linear(parts, l);
	for (int i = 0; i < 3; i++) {
		for (int j = 0; j < 3; j++)
			t4[i + 4 * j] = float(l[i][j]);
		t4[i + 12] = float(parts.translation[i]);
		t4[3 + 4 * i] = 0;
	}
	t4[15] = 1;
	bool finite = true;
	for (int n = 0; n < 16; n++) {
		t4[n] += 0.0f;  // -0, given or from a tiny negative value, as 0
		finite = finite && std::isfinite(t4[n]);
	}
	return finite;
}
