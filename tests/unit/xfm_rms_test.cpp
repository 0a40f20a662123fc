// xfm_rms against a Monte-Carlo estimate over the sphere.
#include "tests/random_xfm.h"
#include "xfm/rms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

TEST(XfmRms, AgreesWithSamplesOfTheSphere)
{
	std::mt19937 gen(1999);
	std::uniform_real_distribution<double> unit(-1, 1), centre(-30, 30), radius(10, 120);
	const int samples = 20000;
	for (int trial = 0; trial < 40; trial++) {
		float t1[16], t2[16];
		random_xfm(gen, t1);
		random_xfm(gen, t2);
		Sphere ball;
		ball.radius = radius(gen);
		for (double &c : ball.centre)
			c = centre(gen);
		double sum = 0, sum2 = 0;
		for (int n = 0; n < samples;) {
			double x[3] = {unit(gen), unit(gen), unit(gen)};
			if (x[0] * x[0] + x[1] * x[1] + x[2] * x[2] > 1)
				continue;
			double d2 = 0;
			for (int i = 0; i < 3; i++) {
				double p[3], di = t1[i + 12] - double(t2[i + 12]);
				for (int j = 0; j < 3; j++)
					p[j] = ball.centre[j] + ball.radius * x[j];
				for (int j = 0; j < 3; j++)
					di += (double(t1[i + 4 * j]) - t2[i + 4 * j]) * p[j];
				d2 += di * di;
			}
			sum += d2;
			sum2 += d2 * d2;
			n++;
		}
		double mean = sum / samples, error = sqrt((sum2 / samples - mean * mean) / samples);
		double rms = rms_difference(t1, t2, ball);
		ASSERT_NEAR(rms * rms, mean, 5 * error) << trial;
		ASSERT_EQ(rms_difference(t1, t1, ball), 0);
	}
}

bool options(std::vector<const char *> args, Sphere &ball)
{
	args.insert(args.begin(), "xfm_rms");
	return sphere_options(int(args.size()), const_cast<char *const *>(args.data()), ball);
}

TEST(XfmRms, Options)
{
	Sphere ball;
	ASSERT_TRUE(options({"a_t4", "-r60", "-xc-1,2.5,3e1", "b_t4", "-r70.5"}, ball));
	EXPECT_EQ(ball.radius, 70.5);
	EXPECT_EQ(ball.centre[0], -1);
	EXPECT_EQ(ball.centre[1], 2.5);
	EXPECT_EQ(ball.centre[2], 30);
	for (const char *bad : {"-r", "-r0", "-r-5", "-rnan", "-rinf", "-r5x", "-r 5", "-c1,2", "-c1,2,3,",
	                        "-c1,,2,3", "-c1,2,inf", "-c", "-rc1,2,3"})
		EXPECT_FALSE(options({"a_t4", bad}, ball)) << bad;
}

}  // namespace
