#include "xfm/decompose.h"

#include <algorithm>
#include <cmath>

#include "common/ieee.h"

typedef double Vec[3];

static double dot(const Vec a, const Vec b)
{
	return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// The 2 x 2 minor x0 y1 - x1 y0.
static double minor2(double x0, double x1, double y0, double y1)
{
	return fp_sub(fp_mul(x0, y1), fp_mul(x1, y0));
}

// a0 (b1 c2 - b2 c1) - b0 (a1 c2 - a2 c1) + c0 (a1 b2 - a2 b1), step by step,
// so that a determinant that is not a number prints the same everywhere.
static double det3(const Vec a, const Vec b, const Vec c)
{
	double first = fp_mul(a[0], minor2(b[1], b[2], c[1], c[2]));
	double second = fp_mul(b[0], minor2(a[1], a[2], c[1], c[2]));
	double third = fp_mul(c[0], minor2(a[1], a[2], b[1], b[2]));
	return fp_add(fp_sub(first, second), third);
}

// A column is dependent on the ones before when what is left of it after
// their projections is zero, or only the rounding of double arithmetic:
// single-precision input cannot hold a genuine direction that close.
static const double dependent = 1e-12;

static void degrees(double rad[3], double out[3])
{
	for (int i = 0; i < 3; i++)
		out[i] = rad[i] * (180.0 / M_PI);
}

// (alpha, beta, gamma) with R = Rz(gamma) Ry(beta) Rx(alpha); q holds R's
// columns, so R(i, j) is q[j-1][i-1].
static void euler_angles(const Vec q[3], double out[3])
{
	double r31 = q[0][2];
	double rad[3];
	rad[1] = asin(std::clamp(-r31, -1.0, 1.0));
	if (fabs(r31) > 1 - 1e-12) {
		rad[0] = 0;
		rad[2] = atan2(-q[1][0], q[1][1]);
	} else {
		rad[0] = atan2(q[1][2], q[2][2]);
		rad[2] = atan2(q[0][1], q[0][0]);
	}
	degrees(rad, out);
}

Decomposition decompose(const float t4[16])
{
	Decomposition d = {};
	Vec l[3], q[3];
	for (int j = 0; j < 3; j++)
		for (int i = 0; i < 3; i++)
			l[j][i] = t4[i + 4 * j];
	d.determinant = det3(l[0], l[1], l[2]);

	// u[i][j] is U(i+1, j+1) of L = Q U.
	double u[3][3] = {};
	for (int j = 0; j < 3; j++) {
		Vec w = {l[j][0], l[j][1], l[j][2]};
		for (int k = 0; k < j; k++) {
			u[k][j] = dot(q[k], l[j]);
			for (int i = 0; i < 3; i++)
				w[i] -= u[k][j] * q[k][i];
		}
		u[j][j] = sqrt(dot(w, w));
		if (!(u[j][j] > dependent * sqrt(dot(l[j], l[j])))) {
			d.singular = true;
			return d;
		}
		for (int i = 0; i < 3; i++)
			q[j][i] = w[i] / u[j][j];
	}
	if (det3(q[0], q[1], q[2]) < 0) {
		for (int i = 0; i < 3; i++) {
			q[0][i] = -q[0][i];
			u[0][i] = -u[0][i];
		}
	}

	euler_angles(q, d.angles);
	for (int i = 0; i < 3; i++)
		d.scales[i] = u[i][i];
	d.shears[0] = u[0][1] / u[0][0];
	d.shears[1] = u[0][2] / u[0][0];
	d.shears[2] = u[1][2] / u[1][1];
	d.rigid = true;
	for (int i = 0; i < 3; i++)
		d.rigid = d.rigid && fabs(d.scales[i] - 1) <= 1e-4 && fabs(d.shears[i]) <= 1e-4;
	return d;
}
