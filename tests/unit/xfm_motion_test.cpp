// xfm_motion's censor against a frame-by-frame model, and the mask's runs.
#include "xfm_motion/censor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

std::vector<char> flags(const char *text)
{
	std::vector<char> v;
	for (; *text; text++)
		v.push_back(*text == 'x');
	return v;
}

TEST(XfmMotion, Runs)
{
	EXPECT_EQ(runs(flags("++xxxx++")), "2+4x2+");
	EXPECT_EQ(runs(flags("x")), "1x");
	EXPECT_EQ(runs(std::vector<char>(12345, 0)), "12345+");
}

// Each frame looked at alone: censored when a frame that moved lies at most
// `after` frames before it or `before` frames after it.
std::vector<char> window_model(const std::vector<double> &fd, const CensorRules &rules)
{
	int n = int(fd.size());
	std::vector<char> out(n);
	for (int i = 0; i < n; i++)
		for (int j = 1; j < n; j++)
			if (!(fd[j] <= rules.threshold) && i - j <= rules.after && j - i <= rules.before)
				out[i] = 1;
	return out;
}

TEST(XfmMotion, CensorAroundFramesThatMoved)
{
	std::mt19937 random(32);
	for (int trial = 0; trial < 2000; trial++) {
		int n = 1 + random() % 20;
		std::vector<double> fd(n);
		for (double &d : fd) {
			int kind = random() % 8;
			d = kind == 0 ? NAN : kind == 1 ? 0.5 : kind == 2 ? INFINITY : 0.1 * (random() % 8);
		}
		CensorRules rules = {0.5, int64_t(random() % 4), int64_t(random() % 4)};
		ASSERT_EQ(censor(fd, rules), window_model(fd, rules)) << trial;
	}
	CensorRules far = {0.5, INT64_MAX, INT64_MAX};
	EXPECT_EQ(censor({9, 0, 0, 1, 0}, far), flags("xxxxx"));
	EXPECT_EQ(censor({9, 0, 0}, far), flags("+++"));  // the first frame has no displacement
}

// Short runs of kept frames go after the frames around a movement are
// censored, the runs at either end included.
TEST(XfmMotion, CensorShortRuns)
{
	CensorRules rules = {0.5, 0, 1, 3};
	EXPECT_EQ(runs(censor({0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0}, rules)), "4x3+4x");
	rules.shortest = 4;
	EXPECT_EQ(runs(censor({0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0}, rules)), "11x");
	EXPECT_EQ(runs(censor({0, 0, 0, 0}, rules)), "4+");
}

}  // namespace
