// lag_pool's output root, its group arithmetic, its result lines and its
// crew of readers.
#include "common/budget.h"
#include "lag_pool/crew.h"
#include "lag_pool/getroot.h"
#include "lag_pool/pool.h"
#include "lag_pool/results.h"
#include "lag_pool/subject_table.h"
#include "tests/random_xfm.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

TEST(Getroot, StripsKnownExtensionsFromTheEndOnly)
{
	EXPECT_EQ(getroot("run.lst"), "run");
	EXPECT_EQ(getroot("run.dat.lst"), "run");
	EXPECT_EQ(getroot("a.txt.rec.dat.lst.lst"), "a");
	EXPECT_EQ(getroot("run.x.lst"), "run.x");
	EXPECT_EQ(getroot("data/study.lst"), "data/study");
	EXPECT_EQ(getroot("dir.d/list"), "dir.d/list");
	EXPECT_EQ(getroot("dir.lst/list"), "dir.lst/list");
	EXPECT_EQ(getroot("run.LST"), "run.LST");
	EXPECT_EQ(getroot("run.lstx"), "run.lstx");
	EXPECT_EQ(getroot("run.lst.bak"), "run.lst.bak");
	EXPECT_EQ(getroot("run"), "run");
	EXPECT_EQ(getroot(".lst"), "");
	EXPECT_EQ(getroot(""), "");
}

// The sums of one cell over subjects given in list order.
float group_mean(const std::vector<float> &subjects)
{
	float sum = 0;
	for (float v : subjects)
		add_row(&sum, &v, 1);
	group_means(&sum, 1, static_cast<int>(subjects.size()));
	return sum;
}

TEST(GroupMeans, SingleSumInListOrderFromPositiveZero)
{
	// In float, 1 + 1e8 is 1e8: in list order the 1 is lost. Any other
	// order, or a wider sum, gives 1/3.
	EXPECT_EQ(group_mean({1, 1e8f, -1e8f}), 0.0f);
	EXPECT_EQ(group_mean({-1e8f, 1e8f, 1}), 1.0f / 3.0f);
	// A division, not a product with the reciprocal: 5 * (1/3) is 1 ulp more.
	EXPECT_EQ(group_mean({5, 0, 0}), 5.0f / 3.0f);
	// A sum begins at +0, so a cell of -0s averages to +0, not -0.
	EXPECT_FALSE(std::signbit(group_mean({-0.0f})));
	EXPECT_FALSE(std::signbit(group_mean({-0.0f, -0.0f})));
	EXPECT_TRUE(std::isnan(group_mean({1, NAN, 2})));
}

TEST(RegionMeans, SummedInRegionOrder)
{
	// ((1 + 1e8) + -1e8) is 0 in float, the other way round 1.
	std::vector<float> avg = {1, 1e8f, -1e8f}, roiavg(1);
	roi_means(avg.data(), 3, 1, roiavg.data());
	EXPECT_EQ(roiavg[0], 0.0f);
}

TEST(CrossProducts, OneRegionHasNoPairAndGivesNaN)
{
	std::vector<float> avg = {0.5f, -0.25f}, roiavg(2), gammabar(2);
	roi_means(avg.data(), 1, 2, roiavg.data());
	EXPECT_EQ(roiavg, avg);
	// 0/0 is the NaN of x86-64, -nan, on every machine.
	float total = cross_products(avg.data(), 1, 2, gammabar.data());
	for (float g : {total, gammabar[0], gammabar[1]})
		EXPECT_TRUE(std::isnan(g) && std::signbit(g));
}

TEST(CrossProducts, NaNStaysAtItsLag)
{
	std::vector<float> avg = {1, NAN, 1, 2}, gammabar(2);
	EXPECT_TRUE(std::isnan(cross_products(avg.data(), 2, 2, gammabar.data())));
	EXPECT_TRUE(std::isnan(gammabar[0]));
	EXPECT_EQ(gammabar[1], 2.0f);
}

TEST(CrossProducts, PairCountDoesNotWrap)
{
	EXPECT_EQ(pair_count(1), 0.0f);
	EXPECT_EQ(pair_count(2), 2.0f);
	EXPECT_EQ(pair_count(46341), 2147441940.0f);
	EXPECT_EQ(pair_count(46342), 2147534622.0f);
	EXPECT_EQ(pair_count(65536), 4294901760.0f);
}

// The column header and rows of a result file, with labels of up to 40
// characters and values up to 1e9, read back as a lag table: it counts
// its regions and values at blanks, so they must all stand apart, and it
// gives the labels and the values written.
TEST(Results, EveryLineSplitsIntoItsFieldsAndReadsBack)
{
	std::mt19937 gen(2512);
	std::uniform_int_distribution<int> regions(1, 6), lags(1, 3), length(1, 40), letter('!', '~');
	for (int trial = 0; trial < 2000; trial++) {
		Pool p;
		p.nreg = regions(gen);
		p.mlag = lags(gen);
		p.nlag = 2 * p.mlag + 1;
		std::string header = "lag";
		for (int r = 0; r < p.nreg; r++) {
			header += ' ';
			for (int n = length(gen); n > 0; n--) {
				char c = char(letter(gen));
				header += c == '#' ? '_' : c;  // a '#' parts a header's words
			}
		}
		ASSERT_TRUE(reserve(p.labels, header.size() + 1));
		memcpy(p.labels.data, header.c_str(), header.size() + 1);
		p.has_labels = true;
		std::vector<float> avg(size_t(p.nlag) * p.nreg);
		for (float &v : avg)
			v = wide_value(gen);

		char *text = nullptr;
		size_t len = 0;
		FILE *fp = open_memstream(&text, &len);
		put_labels(fp, p);
		for (int i = 0; i < p.nlag; i++)
			put_row(fp, i - p.mlag, &avg[size_t(i) * p.nreg], p.nreg);
		fclose(fp);

		fp = fmemopen(text, len, "r");
		LineReader in;
		int nreg, mlag;
		Subject s;
		ASSERT_EQ(measure_table(fp, "r", in, nreg, mlag, s), Fault::none) << text;
		ASSERT_TRUE(nreg == p.nreg && mlag == p.mlag) << text;
		ASSERT_TRUE(reserve(s.rows, avg.size() * sizeof(float)));
		read_first(fp, in, nreg, mlag, s);  // read once, on from its shape, as a pipe is
		ASSERT_TRUE(s.fault == Fault::none && s.nrows == p.nlag && s.has_labels);
		ASSERT_EQ(std::string(s.text.data, s.textlen),
		          "Reading: r\n" + std::string(text, strchr(text, '\n') + 1));
		std::istringstream want(header), got(s.labels.data);
		for (std::string a, b; want >> a;)
			ASSERT_TRUE(got >> b && a == b) << text;
		const float *rows = reinterpret_cast<const float *>(s.rows.data);
		for (size_t c = 0; c < avg.size(); c++) {
			char printed[64];
			snprintf(printed, sizeof printed, "%.4f", avg[c]);
			ASSERT_EQ(rows[c], float(strtod(printed, nullptr))) << text;
		}
		free(text);
	}
}

// A crew that started threads gives back all it took, their stacks and
// readers included, whether it ends after its tables or is abandoned. (A
// crew abandoned while a thread opens a table is kept, by design: so the
// threads are let finish their tables first.)
TEST(Crew, GivesBackAllItTook)
{
	char text[] = "/dev/null\n/dev/null\n/dev/null\n";
	FILE *fp = fmemopen(text, sizeof text - 1, "r");
	LineReader in;
	TableList list;
	const char *unreadable;
	ASSERT_EQ(read_list(fp, in, list, &unreadable), Fault::none);
	fclose(fp);
	const uint64_t before = budget_taken();
	for (bool abandoned : {false, true}) {
		Crew *crew = new Crew;
		ASSERT_TRUE(start_crew(*crew, list, 1, 1, 2, nullptr, Subject()));
		EXPECT_EQ(crew->started, 2);
		if (abandoned) {
			std::unique_lock<std::mutex> hold(crew->lock);
			crew->settled.wait(hold,
			                   [&] { return crew->workers[0].done && crew->workers[1].done; });
			hold.unlock();
			abandon_crew(crew);
		} else {
			delete crew;
		}
		EXPECT_EQ(budget_taken(), before) << abandoned;
	}
}

}  // namespace
