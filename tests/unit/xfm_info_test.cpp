// xfm_info's decomposition against its definition: the printed parts,
// multiplied back together, give the linear part again.
#include "tests/random_xfm.h"
#include "xfm/decompose.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

// v rounded to a number of decimals, as printed; all of it for none.
double printed(double v, int decimals)
{
	if (decimals < 0)
		return v;
	double unit = pow(10, decimals);
	return std::round(v * unit) / unit;
}

// R S K from the parts, as printed (angles to 4 decimals of a degree,
// scales and shears to 6 decimals), or whole.
void rebuild(const Decomposition &d, bool as_printed, double m[3][3])
{
	double a[3], s[3], k[3];
	for (int i = 0; i < 3; i++) {
		a[i] = printed(d.angles[i], as_printed ? 4 : -1) * M_PI / 180;
		s[i] = printed(d.scales[i], as_printed ? 6 : -1);
		k[i] = printed(d.shears[i], as_printed ? 6 : -1);
	}
	double ca = cos(a[0]), sa = sin(a[0]), cb = cos(a[1]), sb = sin(a[1]), cg = cos(a[2]), sg = sin(a[2]);
	double r[3][3] = {{cg * cb, cg * sb * sa - sg * ca, cg * sb * ca + sg * sa},
	                  {sg * cb, sg * sb * sa + cg * ca, sg * sb * ca - cg * sa},
	                  {-sb, cb * sa, cb * ca}};
	double u[3][3] = {{s[0], s[0] * k[0], s[0] * k[1]}, {0, s[1], s[1] * k[2]}, {0, 0, s[2]}};
	for (int i = 0; i < 3; i++)
		for (int j = 0; j < 3; j++) {
			m[i][j] = 0;
			for (int n = 0; n < 3; n++)
				m[i][j] += r[i][n] * u[n][j];
		}
}

double det(const float t[16])
{
	auto l = [&](int i, int j) { return double(t[i + 4 * j]); };
	return l(0, 0) * (l(1, 1) * l(2, 2) - l(1, 2) * l(2, 1)) -
	       l(0, 1) * (l(1, 0) * l(2, 2) - l(1, 2) * l(2, 0)) +
	       l(0, 2) * (l(1, 0) * l(2, 1) - l(1, 1) * l(2, 0));
}

TEST(XfmInfo, PartsRebuildTheLinearPart)
{
	std::mt19937 gen(1999);
	for (int trial = 0; trial < 20000; trial++) {
		float t[16];
		random_xfm(gen, t);
		Decomposition d = decompose(t);
		ASSERT_FALSE(d.singular) << trial;
		double whole[3][3], shown[3][3];
		rebuild(d, false, whole);
		rebuild(d, true, shown);
		// Printing rounds an angle by up to 5e-5 degrees, about 1e-6
		// radians, and makes a squashed matrix's huge shear inexact.
		bool squashed = fabs(det(t)) < 1e-3;
		for (int i = 0; i < 3; i++)
			for (int j = 0; j < 3; j++) {
				ASSERT_NEAR(whole[i][j], t[i + 4 * j], 1e-9) << trial << " entry " << i << j;
				if (!squashed) {
					ASSERT_NEAR(shown[i][j], t[i + 4 * j], 1e-5)
						<< trial << " entry " << i << j;
				}
			}
		ASSERT_GE(d.scales[1], 0);
		ASSERT_GE(d.scales[2], 0);
		ASSERT_EQ(d.scales[0] < 0, det(t) < 0) << trial;
		ASSERT_NEAR(d.determinant, det(t), 1e-12 * fabs(det(t)));
		ASSERT_LE(fabs(d.angles[1]), 90);
	}
}

TEST(XfmInfo, DependentColumnsLeaveThePartsUndefined)
{
	// A zero column; a column twice another, exactly; a column that is the
	// sum of the other two.
	const float zero[16] = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
	const float twice[16] = {0.3f, 0.7f, 0.1f, 0, 0.6f, 1.4f, 0.2f, 0, 0, 0, 1, 0, 0, 0, 0, 1};
	const float sum[16] = {0.5f, 0.25f, 1, 0, 0.125f, 2, 0.75f, 0, 0.625f, 2.25f, 1.75f, 0, 0, 0, 0, 1};
	for (const float *t : {zero, twice, sum}) {
		Decomposition d = decompose(t);
		EXPECT_TRUE(d.singular);
		EXPECT_FALSE(d.rigid);
		EXPECT_EQ(d.determinant, 0);
	}
	// Dependence is relative to a column's length: a short column is none.
	const float thin[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1e-6f, 0, 0, 0, 0, 1};
	const float short_first[16] = {1e-13f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
	EXPECT_FALSE(decompose(thin).singular);
	EXPECT_FALSE(decompose(short_first).singular);
}

}  // namespace
