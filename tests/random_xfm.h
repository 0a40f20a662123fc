// Random affine transforms for the tests of the transform programs: a
// rotation, scales and shears, with reflected and nearly singular ones among
// them, rounded to single precision as a file holds them.
#pragma once

#include <cmath>
#include <random>

// t = the transform with linear part m and translation b, rounded to
// single precision; row 4 is 0 0 0 1.
inline void store_xfm(const double m[3][3], const double b[3], float t[16])
{
	for (int i = 0; i < 3; i++) {
		for (int j = 0; j < 3; j++)
			t[i + 4 * j] = float(m[i][j]);
		t[i + 12] = float(b[i]);
		t[3 + 4 * i] = 0;
	}
	t[15] = 1;
}

inline void model_linear(double a, double b, double c, const double s[3], const double k[3], double m[3][3]);

// Rz(c) Ry(b) Rx(a) diag(s) K with K unit upper triangular, and a
// translation within 100; row 4 is 0 0 0 1. One in four reflects, one in
// eight is squashed to a thickness of 1e-5 along one axis, one in eight
// turns by exactly +-90 degrees about y.
inline void random_xfm(std::mt19937 &gen, float t[16])
{
	std::uniform_real_distribution<double> angle(-M_PI, M_PI), scale(0.5, 2), shear(-0.3, 0.3),
		shift(-100, 100);
	std::uniform_int_distribution<int> kind(0, 7);
	double a = angle(gen), b = angle(gen) / 2, c = angle(gen);
	double s[3] = {scale(gen), scale(gen), scale(gen)};
	double k[3] = {shear(gen), shear(gen), shear(gen)};
	switch (kind(gen)) {
	case 0:
	case 1:
		s[kind(gen) % 3] *= -1;
		break;
	case 2:
		s[kind(gen) % 3] *= 1e-5;
		break;
	case 3:
		b = kind(gen) < 4 ? M_PI / 2 : -M_PI / 2;
		break;
	}
	double m[3][3];
	model_linear(a, b, c, s, k, m);
	double offset[3] = {shift(gen), shift(gen), shift(gen)};
	store_xfm(m, offset, t);
}

// Rz(c) Ry(b) Rx(a) diag(s) K, angles in radians, with K unit upper
// triangular holding k[0], k[1] and k[2] above its diagonal; m[i][j] is row
// i, column j.
inline void model_linear(double a, double b, double c, const double s[3], const double k[3], double m[3][3])
{
	double rx[3][3] = {{1, 0, 0}, {0, cos(a), -sin(a)}, {0, sin(a), cos(a)}};
	double ry[3][3] = {{cos(b), 0, sin(b)}, {0, 1, 0}, {-sin(b), 0, cos(b)}};
	double rz[3][3] = {{cos(c), -sin(c), 0}, {sin(c), cos(c), 0}, {0, 0, 1}};
	double sk[3][3] = {{s[0], s[0] * k[0], s[0] * k[1]}, {0, s[1], s[1] * k[2]}, {0, 0, s[2]}};
	auto product = [](const double x[3][3], const double y[3][3], double z[3][3]) {
		double r[3][3] = {};
		for (int i = 0; i < 3; i++)
			for (int j = 0; j < 3; j++)
				for (int n = 0; n < 3; n++)
					r[i][j] += x[i][n] * y[n][j];
		for (int i = 0; i < 3; i++)
			for (int j = 0; j < 3; j++)
				z[i][j] = r[i][j];
	};
	product(ry, rx, m);
	product(rz, m, m);
	product(m, sk, m);
}

// A value of either sign from 1e-7 to 1e9 in magnitude, in single
// precision: narrow and wide for the fixed-width fields of written files.
inline float wide_value(std::mt19937 &gen)
{
	std::uniform_real_distribution<double> mantissa(-1, 1);
	std::uniform_int_distribution<int> exponent(-7, 9);
	return float(mantissa(gen) * pow(10, exponent(gen)));
}
