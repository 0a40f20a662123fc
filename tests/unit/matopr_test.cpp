#include "common/ieee.h"
#include "xfm/matopr.h"
#include "xfm/xfmreverse.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

const float inf = std::numeric_limits<float>::infinity();
const float nan = std::numeric_limits<float>::quiet_NaN();

uint32_t bits(float x)
{
	return std::bit_cast<uint32_t>(x);
}

// Same value to the bit: tells -0 from +0.
#define EXPECT_BITS(want, got) EXPECT_EQ(bits(want), bits(got)) << (want) << " vs " << (got)

// An n x n column-major matrix from its rows as written.
std::vector<float> rows(int n, std::initializer_list<float> v)
{
	std::vector<float> in(v), m(n * n);
	for (int i = 0; i < n; i++)
		for (int j = 0; j < n; j++)
			m[i + j * n] = in[i * n + j];
	return m;
}

// A transform from its 4 x 4 rows.
std::vector<float> t4rows(std::initializer_list<float> v)
{
	return rows(4, v);
}

TEST(Matmul, StartsEverySumFromPositiveZero)
{
	// The second column has no positive entry, so every product summed into
	// c(1,2) is -0: only the sum's start makes it +0.
	auto id = t4rows({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
	auto b = t4rows({1, -0.0f, 2, 3, 4, -5, -6, 7, -0.0f, -8, 9, 10, 0, -0.0f, 0, 1});
	float c[16];
	matmul(id.data(), b.data(), c, 4);
	for (int k = 0; k < 16; k++)
		EXPECT_BITS(b[k] == 0 ? 0.0f : b[k], c[k]);
}

TEST(Matmul, SumsInIndexOrder)
{
	// In float, (1 + 1e8) - 1e8 is 0; summed the other way round it is 1.
	auto a = t4rows({1, 1e8f, -1e8f, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
	auto ones = t4rows({1, 0, 0, 0, 1, 1, 0, 0, 1, 0, 1, 0, 1, 0, 0, 1});
	float c[16];
	matmul(a.data(), ones.data(), c, 4);
	EXPECT_BITS(0.0f, c[0]);
}

// A NaN result is the first NaN operand as written, quieted, its sign
// kept; with none, x86-64's default NaN (negative). Every machine and
// compiler must agree, whichever operand its hardware would keep.
TEST(NanRule, FirstNanOperandElseTheNegativeDefault)
{
	const float minus_nan = std::bit_cast<float>(uint32_t(0xffc00000));
	EXPECT_BITS(minus_nan, fp_add(minus_nan, nan));
	EXPECT_BITS(nan, fp_mul(nan, minus_nan));
	EXPECT_BITS(minus_nan, fp_sub(1.0f, minus_nan));
	EXPECT_BITS(minus_nan, fp_sub(inf, inf));
	EXPECT_BITS(minus_nan, fp_mul(0.0f, inf));
	EXPECT_BITS(minus_nan, fp_div(-0.0f, 0.0f));
	float signaling = std::bit_cast<float>(uint32_t(0xff800001));
	EXPECT_EQ(0xffc00001u, bits(fp_div(signaling, 2.0f)));
}

// The running sum comes first in s + a * b, even where the compiler would
// rather add the other way round (its vector loops do).
TEST(Matmul, NanSumKeepsItsSign)
{
	const float minus_nan = -nan;
	auto a = t4rows({nan, 1, 0, 0, nan, 1, 0, 0, 1, 1, 0, 0, 0, 0, 0, 1});
	auto b = t4rows({1, 1, 1, 1, minus_nan, minus_nan, minus_nan, minus_nan, 0, 0, 0, 0, 0, 0, 0, 1});
	std::vector<float> c(16);
	matmul(a.data(), b.data(), c.data(), 4);
	for (int k = 0; k < 4; k++) {
		EXPECT_BITS(nan, c[4 * k]);
		EXPECT_BITS(nan, c[4 * k + 1]);
		EXPECT_BITS(minus_nan, c[4 * k + 2]);
	}
}

TEST(Matmul, ComposesTranslations)
{
	auto t1 = t4rows({1, 0, 0, 1, 0, 1, 0, 2, 0, 0, 1, 3, 0, 0, 0, 1});
	auto t2 = t4rows({1, 0, 0, 10, 0, 1, 0, 20, 0, 0, 1, 30, 0, 0, 0, 1});
	float c[16];
	matmul(t1.data(), t2.data(), c, 4);
	EXPECT_EQ(c[12], 11);
	EXPECT_EQ(c[13], 22);
	EXPECT_EQ(c[14], 33);

	// L1 t2 + t1
	auto left = t4rows({2, 0, 0, 1, 0, 0, 3, 2, 0, -1, 0, 3, 0, 0, 0, 1});
	matmul(left.data(), t2.data(), c, 4);
	EXPECT_EQ(c[12], 21);
	EXPECT_EQ(c[13], 92);
	EXPECT_EQ(c[14], -17);
	EXPECT_EQ(c[15], 1);
}

TEST(Matmul, RoundsEachProductBeforeAdding)
{
	// (1 + e)(1 - e) = 1 - 2^-26 rounds to 1, so -1 + it is 0; a fused
	// multiply-add would give -2^-26.
	float e = std::ldexp(1.0f, -13);
	auto a = rows(2, {1, 1 + e, 0, 0});
	auto b = rows(2, {-1, 0, 1 - e, 0});
	float c[4];
	matmul(a.data(), b.data(), c, 2);
	EXPECT_BITS(0.0f, c[0]);
}

TEST(MatrixUnit, OrdersBelowOneLeaveResultsUntouched)
{
	float a[8] = {1, 2, 3, 4, 5, 6, 7, 8}, c[8];
	for (int n : {0, -3}) {
		std::fill(c, c + 8, 42.0f);
		matmul(a, a, c, n);
		matmulc(a, a, c, n);
		matcop(a, c, n);
		transpos(a, c, n);
		matconjg(a, c, n);
		matmulg(a, n, 2, a, 2, c);
		matmulg(a, 2, 2, a, n, c);
		for (float x : c)
			EXPECT_EQ(x, 42.0f);
	}
}

TEST(Matmulg, RectangularShapes)
{
	float a[6] = {1, 4, 2, 5, 3, 6};  // rows (1 2 3), (4 5 6)
	float v[3] = {1, 10, 100}, c[2];
	matmulg(a, 2, 3, v, 1, c);
	EXPECT_EQ(c[0], 321);
	EXPECT_EQ(c[1], 654);

	float z[6];
	std::fill(z, z + 6, 42.0f);
	matmulg(a, 2, 0, v, 3, z);
	for (float x : z)
		EXPECT_BITS(0.0f, x);
}

TEST(ComplexRoutines, MultiplyAndConjugate)
{
	float a[2] = {1, 2}, b[2] = {3, 4}, c[2];
	matmulc(a, b, c, 1);
	EXPECT_EQ(c[0], -5);
	EXPECT_EQ(c[1], 10);

	matconjg(a, c, 1);
	EXPECT_EQ(c[0], 1);
	EXPECT_EQ(c[1], -2);
	float real[2] = {5, 0};
	matconjg(real, c, 1);
	EXPECT_BITS(5.0f, c[0]);
	EXPECT_BITS(-0.0f, c[1]);

	// 2 x 2: entry (2, 1) of the conjugate transpose is conj(a(1, 2)).
	float m[8] = {1, 1, 2, 2, 3, 3, 4, 4}, t[8];
	matconjg(m, t, 2);
	EXPECT_EQ(t[2], 3);
	EXPECT_EQ(t[3], -3);
	EXPECT_EQ(t[4], 2);
	EXPECT_EQ(t[5], -2);
}

TEST(Copies, MoveEveryValueUnchanged)
{
	auto a = rows(2, {1, 2, 3, 4});
	float t[4];
	transpos(a.data(), t, 2);
	EXPECT_EQ(std::vector<float>(t, t + 4), rows(2, {1, 3, 2, 4}));

	float odd[4] = {-0.0f, std::bit_cast<float>(0xff800001u), nan, -inf}, c[4];
	matcop(odd, c, 2);
	for (int k = 0; k < 4; k++)
		EXPECT_BITS(odd[k], c[k]);
}

TEST(Matinv, OrderBelowOneOnlySetsTheDeterminant)
{
	float a[1] = {7}, det = 0;
	for (int n : {0, -3}) {
		matinv(a, n, det);
		EXPECT_EQ(det, 1.0f);
		EXPECT_EQ(a[0], 7);
	}
}

TEST(Matinv, OrderOne)
{
	float a = 4, det;
	matinv(&a, 1, det);
	EXPECT_EQ(a, 0.25f);
	EXPECT_EQ(det, 4.0f);
	a = 0;
	matinv(&a, 1, det);
	EXPECT_BITS(inf, a);
	EXPECT_BITS(0.0f, det);
}

TEST(Matinv, InterchangesNegateTheLinesTheyMove)
{
	// Ties go to the last entry scanned: the pivot is (2, 2), and the
	// exchanges leave negative zeros off the diagonal.
	auto id = rows(2, {1, 0, 0, 1});
	float det;
	matinv(id.data(), 2, det);
	EXPECT_EQ(det, 1.0f);
	EXPECT_BITS(1.0f, id[0]);
	EXPECT_BITS(1.0f, id[3]);
	EXPECT_BITS(-0.0f, id[1]);
	EXPECT_BITS(-0.0f, id[2]);

	auto d = rows(2, {2, 0, 0, -2});
	matinv(d.data(), 2, det);
	EXPECT_EQ(d[0], 0.5f);
	EXPECT_EQ(d[3], -0.5f);
	EXPECT_EQ(det, -4.0f);

	// Pivot 4 at (2, 1): a row exchange only, undone by a column exchange.
	auto m = rows(2, {1, 2, 4, 3});
	matinv(m.data(), 2, det);
	EXPECT_EQ(det, -5.0f);
	auto want = rows(2, {-0.6f, 0.4f, 0.8f, -0.2f});
	for (int k = 0; k < 4; k++)
		EXPECT_NEAR(m[k], want[k], 1e-6);
}

TEST(Matinv, SingularMatricesGoOnWithoutTrapping)
{
	// Rank 1: only the last pivot is 0.
	auto m = rows(2, {1, 2, 2, 4});
	float det;
	matinv(m.data(), 2, det);
	EXPECT_BITS(0.0f, det);
	auto want = rows(2, {inf, -inf, -inf, inf});
	for (int k = 0; k < 4; k++)
		EXPECT_BITS(want[k], m[k]);

	// The first pivot is already 0.
	std::vector<float> z(9, 0.0f);
	matinv(z.data(), 3, det);
	EXPECT_TRUE(std::isnan(det));
	for (float x : z)
		EXPECT_TRUE(std::isnan(x));
}

TEST(Matinv, LargestOrder)
{
	const int n = 512;
	std::vector<float> a(n * n, 0.0f);
	for (int k = 0; k < n; k++)
		a[k + k * n] = float(k + 1);
	float det;
	matinv(a.data(), n, det);
	for (int k = 0; k < n; k++)
		ASSERT_EQ(bits(1.0f / float(k + 1)), bits(a[k + k * n])) << k;
}

TEST(Matinv, OrderAboveTheLimitTouchesNothing)
{
	std::vector<float> a(513 * 513, 2.0f), w(513 * 513), b(513 * 513, 7.0f);
	float det = 3;
	EXPECT_EQ(matinv(a.data(), 513, det), -1);
	EXPECT_EQ(det, 3);
	EXPECT_EQ(a, std::vector<float>(513 * 513, 2.0f));
	EXPECT_EQ(geninv(a.data(), w.data(), b.data(), 513, det), -1);
	EXPECT_EQ(b, std::vector<float>(513 * 513, 7.0f));
}

TEST(Geninv, NormalEquations)
{
	auto a = rows(2, {1, 2, 4, 3});
	float w[4], b[4], det;
	geninv(a.data(), w, b, 2, det);
	EXPECT_NEAR(det, 25.0f, 1e-4);
	auto inv = rows(2, {-0.6f, 0.4f, 0.8f, -0.2f});
	for (int k = 0; k < 4; k++)
		EXPECT_NEAR(b[k], inv[k], 1e-6);

	// W is left holding the inverse of a'a = rows (17 14) and (14 13).
	auto winv = rows(2, {13 / 25.0f, -14 / 25.0f, -14 / 25.0f, 17 / 25.0f});
	for (int k = 0; k < 4; k++)
		EXPECT_NEAR(w[k], winv[k], 1e-6);

	float w0[1] = {42}, b0[1] = {42};
	geninv(a.data(), w0, b0, 0, det);
	EXPECT_EQ(det, 1.0f);
	EXPECT_EQ(w0[0], 42);
	EXPECT_EQ(b0[0], 42);
}

// A transform with rows 0-2 (linear | translation) and the given fourth row.
std::vector<float> affine(std::initializer_list<float> top, std::initializer_list<float> bottom)
{
	std::vector<float> v(top);
	v.insert(v.end(), bottom);
	return t4rows({v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10], v[11], v[12], v[13],
	               v[14], v[15]});
}

void expect_transform(const std::vector<float> &want, const float *got)
{
	for (int k = 0; k < 16; k++)
		EXPECT_BITS(want[k], got[k]) << " at " << k;
}

TEST(Xfmreverse, ExactCases)
{
	float r[16];
	auto id = affine({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0}, {0, 0, 0, 1});
	xfmreverse(id.data(), r);
	expect_transform(id, r);  // every zero positive

	auto shift = affine({1, 0, 0, 10, 0, 1, 0, -20, 0, 0, 1, 30}, {0, 0, 0, 1});
	xfmreverse(shift.data(), r);
	expect_transform(affine({1, 0, 0, -10, 0, 1, 0, 20, 0, 0, 1, -30}, {0, 0, 0, 1}), r);

	auto want = affine({0.5, 0, 0, -0.5, 0, 0.25, 0, -0.25, 0, 0, 2, -2}, {0, 0, 0, 1});
	auto diag = affine({2, 0, 0, 1, 0, 4, 0, 1, 0, 0, 0.5, 1}, {0, 0, 0, 1});
	xfmreverse(diag.data(), r);
	expect_transform(want, r);

	auto odd_row = affine({2, 0, 0, 1, 0, 4, 0, 1, 0, 0, 0.5, 1}, {1, 2, 3, 4});
	xfmreverse(odd_row.data(), r);
	expect_transform(want, r);

	xfmreverse(diag.data(), diag.data());  // in place
	expect_transform(want, diag.data());
}

TEST(Xfmreverse, Rotation)
{
	float c = std::cos(0.3f), s = std::sin(0.3f), r[16];
	auto rot = affine({c, -s, 0, 5, s, c, 0, 0, 0, 0, 1, 0}, {0, 0, 0, 1});
	xfmreverse(rot.data(), r);
	auto want = affine({c, s, 0, -5 * c, -s, c, 0, 5 * s, 0, 0, 1, 0}, {0, 0, 0, 1});
	for (int k = 0; k < 16; k++)
		EXPECT_NEAR(r[k], want[k], 4e-6) << k;
}

TEST(Xfmreverse, SingularLinearPartGivesNan)
{
	float r[16];
	for (auto t : {affine({0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3}, {0, 0, 0, 1}),
	               affine({1, 0, 0, 1, 0, 1, 0, 2, 0, 0, 0, 3}, {0, 0, 0, 1})}) {
		xfmreverse(t.data(), r);
		for (int i = 0; i < 3; i++)
			for (int j = 0; j < 4; j++)
				EXPECT_TRUE(std::isnan(r[i + 4 * j])) << i << "," << j;
		EXPECT_BITS(0.0f, r[3]);
		EXPECT_BITS(0.0f, r[7]);
		EXPECT_BITS(0.0f, r[11]);
		EXPECT_BITS(1.0f, r[15]);
	}
}

}  // namespace
