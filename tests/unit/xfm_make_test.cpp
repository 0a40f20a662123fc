// xfm_make against a model built with the C library's sine and cosine, and
// against xfm_info's decomposition, which must give the parts back.
#include "tests/random_xfm.h"
#include "xfm/decompose.h"
#include "xfm_make/make.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

// v as printed with a number of decimals and read back.
double printed(double v, int decimals)
{
	char text[64];
	snprintf(text, sizeof text, "%.*f", decimals, v);
	return strtod(text, nullptr);
}

// t as a transform file holds it: six decimals of the linear part, four of
// the translation, each read back in single precision.
void through_file(float t[16])
{
	for (int n = 0; n < 16; n++)
		t[n] = float(printed(t[n], n >= 12 ? 4 : 6));
}

const double degree = M_PI / 180;

TEST(XfmMake, SineAndCosineInDegrees)
{
	const double sines[4] = {0, 1, 0, -1};
	for (int quarter = -8; quarter <= 8; quarter++) {
		double s, c;
		sincos_degrees(90.0 * quarter, s, c);
		EXPECT_EQ(s, sines[(quarter + 8) % 4]) << quarter;
		EXPECT_EQ(c, sines[(quarter + 9) % 4]) << quarter;
	}
	std::mt19937 gen(27);
	std::uniform_real_distribution<double> angle(-45, 45);
	for (int trial = 0; trial < 100000; trial++) {
		double d = angle(gen), s, c;
		sincos_degrees(d, s, c);
		ASSERT_NEAR(s, sin(d * degree), 2 * DBL_EPSILON * fabs(s)) << d;
		ASSERT_NEAR(c, cos(d * degree), 2 * DBL_EPSILON) << d;
	}
}

// Angles within +-180 (beta within +-89.5, near 89 one time in four),
// scales of 0.3 to 3 with a mirroring x one time in four, shears within
// +-0.4: the model's matrix, and the parts again from the decomposition of
// the single-precision one.
TEST(XfmMake, AgreesWithTheModelAndComesApartIntoItsParts)
{
	std::mt19937 gen(2027);
	std::uniform_real_distribution<double> angle(-180, 180), size(0.3, 3), shear(-0.4, 0.4),
		near89(88.5, 89.5);
	std::uniform_int_distribution<int> kind(0, 3);
	for (int trial = 0; trial < 20000; trial++) {
		Parts p;
		for (int i = 0; i < 3; i++) {
			p.angles[i] = angle(gen);
			p.scales[i] = size(gen);
			p.shears[i] = shear(gen);
		}
		p.angles[1] = kind(gen) == 0 ? std::copysign(near89(gen), p.angles[1]) : p.angles[1] / 2;
		if (kind(gen) == 0)
			p.scales[0] = -p.scales[0];

		double l[3][3], model[3][3];
		make_linear(p, l);
		model_linear(p.angles[0] * degree, p.angles[1] * degree, p.angles[2] * degree, p.scales,
		             p.shears, model);
		for (int i = 0; i < 3; i++)
			for (int j = 0; j < 3; j++)
				ASSERT_NEAR(l[i][j], model[i][j], 1e-14) << trial;

		// Rounding to single precision moves an element by 6e-8 of its
		// size; alpha and gamma move 1 / cos(beta) times as much.
		float t[16];
		ASSERT_TRUE(make_xfm(p, t));
		Decomposition d = decompose(t);
		double turns = 1e-5 / cos(p.angles[1] * degree);
		ASSERT_NEAR(d.angles[0], p.angles[0], turns) << trial;
		ASSERT_NEAR(d.angles[1], p.angles[1], 1e-5) << trial;
		ASSERT_NEAR(d.angles[2], p.angles[2], turns) << trial;
		for (int i = 0; i < 3; i++) {
			ASSERT_NEAR(d.scales[i], p.scales[i], 1e-6 * fabs(p.scales[i])) << trial;
			ASSERT_NEAR(d.shears[i], p.shears[i], 1e-6) << trial;
		}
	}
}

// Parts typed with the decimals xfm_info prints, within the ranges users
// meet, made into a file, read back and taken apart: the translation comes
// back exactly, and the largest differences over 10,000 transforms, in
// units of the last digit printed, are those xfm_make(1) states: 9 in the
// angles, 1 in the scales, 20 in the shears. The file's six decimals bound
// them; they grow with the ratio of the largest scale to the smallest and,
// for alpha and gamma, with 1 / cos(beta).
TEST(XfmMake, XfmInfoPrintsThePartsOfTheFileBack)
{
	std::mt19937 gen(27);
	auto typed = [&gen](double low, double high, int decimals) {
		return printed(std::uniform_real_distribution<double>(low, high)(gen), decimals);
	};
	double worst[3] = {};  // angles, scales, shears
	for (int trial = 0; trial < 10000; trial++) {
		Parts p;
		for (int i = 0; i < 3; i++) {
			p.translation[i] = typed(-200, 200, 4);
			p.angles[i] = typed(-85, 85, 4);
			p.scales[i] = typed(0.3, 3, 6);
			p.shears[i] = typed(-0.4, 0.4, 6);
		}
		if (trial % 4 == 0)
			p.scales[0] = -p.scales[0];
		float t[16];
		ASSERT_TRUE(make_xfm(p, t));
		through_file(t);
		Decomposition d = decompose(t);
		for (int i = 0; i < 3; i++) {
			ASSERT_EQ(printed(t[i + 12], 4), p.translation[i]) << trial;
			worst[0] = std::max(worst[0], fabs(printed(d.angles[i], 4) - p.angles[i]) * 1e4);
			worst[1] = std::max(worst[1], fabs(printed(d.scales[i], 6) - p.scales[i]) * 1e6);
			worst[2] = std::max(worst[2], fabs(printed(d.shears[i], 6) - p.shears[i]) * 1e6);
		}
	}
	EXPECT_LE(worst[0], 9 + 1e-6);
	EXPECT_LE(worst[1], 1 + 1e-6);
	EXPECT_LE(worst[2], 20 + 1e-6);
}

// The parts of random transform files, as xfm_info prints them, make the
// file again to within 4.0e-6 in every element (measured).
TEST(XfmMake, RebuildsAFileFromWhatXfmInfoPrints)
{
	std::mt19937 gen(1999);
	for (int trial = 0; trial < 10000; trial++) {
		float t[16];
		random_xfm(gen, t);
		through_file(t);
		Decomposition d = decompose(t);
		if (fabs(d.determinant) < 1e-3)
			continue;  // squashed: its huge shears cannot be printed exactly
		Parts p;
		for (int i = 0; i < 3; i++) {
			p.translation[i] = printed(t[i + 12], 4);
			p.angles[i] = printed(d.angles[i], 4);
			p.scales[i] = printed(d.scales[i], 6);
			p.shears[i] = printed(d.shears[i], 6);
		}
		float rebuilt[16];
		ASSERT_TRUE(make_xfm(p, rebuilt));
		through_file(rebuilt);
		for (int n = 0; n < 16; n++)
			ASSERT_NEAR(rebuilt[n], t[n], 1e-5) << trial << " element " << n;
	}
}

}  // namespace
