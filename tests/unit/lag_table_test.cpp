// lag_table's estimator on series whose autocorrelation is known exactly.
#include "lag_table/acf.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Region 0 alternates, +1, -1, ...: its mean is 0 and num(k) is
// (-1)^k (N - k), so acf(k) = (-1)^k (N - k) / N. Region 1 runs 1, 0, -1, 0:
// acf(k) = cos(pi k / 2) (N - k) / N. Every step is exact in doubles.
TEST(Autocorrelate, MatchesTheClosedFormOfPeriodicSeries)
{
	const int frames = 40, mlag = 5;
	const double period4[] = {1, 0, -1, 0}, cosine[] = {1, 0, -1, 0, 1, 0};
	std::vector<double> x;
	for (int t = 0; t < frames; t++) {
		x.push_back(t % 2 ? -1 : 1);
		x.push_back(period4[t % 4]);
	}
	std::vector<double> acf((mlag + 1) * 2);
	bool varies[2];
	int region;
	ASSERT_EQ(autocorrelate(x.data(), frames, 2, nullptr, mlag, acf.data(), varies, &region), Acf::done);
	for (int k = 0; k <= mlag; k++) {
		double share = double(frames - k) / frames;
		EXPECT_EQ(acf[2 * k], (k % 2 ? -1 : 1) * share) << "lag " << k;
		EXPECT_EQ(acf[2 * k + 1], cosine[k] * share) << "lag " << k;
	}
}

TEST(Autocorrelate, NamesARegionConstantOverTheKeptFrames)
{
	double x[] = {1, 7, 2, 3, 3, 3, 4, 3};  // region 1 varies in frame 0 only
	bool keep[] = {false, true, true, true};
	double acf[2 * 2];
	bool varies[2];
	int region;
	EXPECT_EQ(autocorrelate(x, 4, 2, keep, 1, acf, varies, &region), Acf::constant);
	EXPECT_EQ(region, 1);
	bool none[] = {false, false, false, false};
	EXPECT_EQ(autocorrelate(x, 4, 2, none, 1, acf, varies, &region), Acf::constant);
	EXPECT_EQ(region, 0);
}

}  // namespace
