// Inverting and composing random well-conditioned transforms, each stored
// in a file's text form between steps, as the programs would pass them on.
#include "tests/random_xfm.h"
#include "xfm/matopr.h"
#include "xfm/t4.h"
#include "xfm/xfmreverse.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>

namespace {

// t as a file holds it: written by t4list, whose text is returned, and
// read back by t4scan.
std::string through_file(const float t[16], float stored[16])
{
	char *buf = nullptr;
	size_t len = 0;
	FILE *out = open_memstream(&buf, &len);
	t4list(out, t);
	fclose(out);
	FILE *in = fmemopen(buf, len, "r");
	float scale;
	EXPECT_EQ(t4scan(in, stored, scale), Fault::none);
	fclose(in);
	std::string text(buf, len);
	free(buf);
	return text;
}

// R(z, a) * diag(s) * R(x, b) * R(z, c) with a translation: singular values
// between 0.7 and 1.5, translations within 50, as between brain images.
void random_transform(std::mt19937 &gen, float t[16])
{
	std::uniform_real_distribution<double> angle(-M_PI, M_PI), scale(0.7, 1.5), shift(-50, 50);
	double a = angle(gen), b = angle(gen), c = angle(gen);
	double rz1[3][3] = {{cos(a), -sin(a), 0}, {sin(a), cos(a), 0}, {0, 0, 1}};
	double rx[3][3] = {{1, 0, 0}, {0, cos(b), -sin(b)}, {0, sin(b), cos(b)}};
	double rz2[3][3] = {{cos(c), -sin(c), 0}, {sin(c), cos(c), 0}, {0, 0, 1}};
	double s[3] = {scale(gen), scale(gen), scale(gen)};
	double m[3][3] = {}, rot[3][3] = {};
	for (int i = 0; i < 3; i++)
		for (int j = 0; j < 3; j++)
			for (int k = 0; k < 3; k++)
				rot[i][j] += rx[i][k] * rz2[k][j];
	for (int i = 0; i < 3; i++)
		for (int j = 0; j < 3; j++)
			for (int k = 0; k < 3; k++)
				m[i][j] += rz1[i][k] * s[k] * rot[k][j];
	double offset[3] = {shift(gen), shift(gen), shift(gen)};
	store_xfm(m, offset, t);
}

// The file keeps 6 decimals of the linear part and 4 of the translation;
// each inversion carries that rounding through the matrix, magnified at
// most by the square of the largest singular value and by the length of
// the translation.
const double linear_tolerance = 5e-6;
const double translation_tolerance = 5e-4;

void expect_close(const float want[16], const float got[16], int trial)
{
	for (int k = 0; k < 16; k++) {
		double tol = k >= 12 ? translation_tolerance : linear_tolerance;
		ASSERT_NEAR(got[k], want[k], tol) << "trial " << trial << ", entry " << k;
	}
}

TEST(XfmProperty, ReverseTwiceGivesTheTransformBack)
{
	std::mt19937 gen(20261208);
	for (int trial = 0; trial < 3000; trial++) {
		float t[16], stored[16], r[16], rstored[16], rr[16], rrstored[16];
		random_transform(gen, t);
		through_file(t, stored);
		xfmreverse(stored, r);
		through_file(r, rstored);
		xfmreverse(rstored, rr);
		through_file(rr, rrstored);
		expect_close(stored, rrstored, trial);
		// And the first reverse is no copy: it takes t's image of the origin
		// back to the origin.
		for (int i = 0; i < 3; i++) {
			double back = rstored[i + 12];
			for (int j = 0; j < 3; j++)
				back += double(rstored[i + 4 * j]) * stored[j + 12];
			ASSERT_NEAR(back, 0, translation_tolerance) << "trial " << trial << ", row " << i;
		}
	}
}

TEST(XfmProperty, ChainWithTheReverseIsTheIdentity)
{
	const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
	std::mt19937 gen(8122026);
	for (int trial = 0; trial < 3000; trial++) {
		float t[16], stored[16], r[16], rstored[16], p[16], pstored[16];
		random_transform(gen, t);
		through_file(t, stored);
		xfmreverse(stored, r);
		through_file(r, rstored);
		matmul(stored, rstored, p, 4);
		through_file(p, pstored);
		expect_close(identity, pstored, trial);
		matmul(rstored, stored, p, 4);
		through_file(p, pstored);
		expect_close(identity, pstored, trial);
	}
}

// Values up to 1e9, whatever their printed width: every row of the file
// splits at blanks into its four numbers, and the file reads back as the
// numbers it shows.
TEST(XfmProperty, EveryRowSplitsIntoItsNumbersAndReadsBack)
{
	std::mt19937 gen(2025);
	for (int trial = 0; trial < 20000; trial++) {
		float t[16], stored[16];
		for (float &v : t)
			v = wide_value(gen);
		std::istringstream lines(through_file(t, stored));
		std::string line, word;
		std::getline(lines, line);
		for (int i = 0; i < 4; i++) {
			ASSERT_TRUE(std::getline(lines, line));
			std::istringstream words(line);
			for (int j = 0; j < 4; j++) {
				ASSERT_TRUE(words >> word) << line;
				ASSERT_EQ(stored[i + 4 * j], float(strtod(word.c_str(), nullptr))) << line;
			}
			ASSERT_FALSE(words >> word) << line;
		}
	}
}

}  // namespace
