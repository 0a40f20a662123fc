// xfm_points against a model: the point product emulated in single
// precision term by term, numbers read by strtod, printing by printf.
#include "tests/random_xfm.h"
#include "xfm/xfmreverse.h"
#include "xfm_points/points.h"
#include "xfm_points/table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

// ((m1 x + m2 y) + m3 z) + m4, each step rounded to single.
float model_coordinate(const float t[16], int i, const float p[3])
{
	volatile float s = t[i] * p[0];
	volatile float term = t[i + 4] * p[1];
	s = s + term;
	term = t[i + 8] * p[2];
	s = s + term;
	return s + t[i + 12];
}

std::string fixed4(double v)
{
	char buf[80];
	snprintf(buf, sizeof buf, "%.4f", v);
	return buf;
}

std::string printed(double v)
{
	char buf[FIXED4_MAX];
	size_t len = format_fixed4(v, buf);
	EXPECT_EQ(len, strlen(buf));
	return buf;
}

TEST(XfmPoints, MapsAsSinglePrecisionTermByTerm)
{
	std::mt19937 gen(2112);
	std::uniform_real_distribution<double> coord(-150, 150);
	for (int trial = 0; trial < 20000; trial++) {
		float t[16];
		random_xfm(gen, t);
		if (trial % 2)
			xfmreverse(t, t);
		char line[200];
		snprintf(line, sizeof line, "%.6g,%.9g\t%.3f x\n", coord(gen), coord(gen), coord(gen));
		Point p;
		ASSERT_EQ(parse_point(line, p), PointLine::point) << line;
		float out[3];
		map_point(t, p.xyz, out);
		for (int i = 0; i < 3; i++) {
			float want = model_coordinate(t, i, p.xyz);
			// Only an exact zero may differ, in its sign: the sum starts from +0.
			if (want != 0 || std::isnan(want))
				ASSERT_EQ(memcmp(&want, &out[i], sizeof want), 0)
					<< line << " coordinate " << i;
			else
				ASSERT_EQ(out[i], 0);
		}
	}
}

TEST(XfmPoints, ReadsNumbersAsStrtodRoundedToSingle)
{
	std::mt19937 gen(21);
	std::uniform_int_distribution<int> digit(0, 9), len(1, 20), kind(0, 5);
	for (int trial = 0; trial < 100000; trial++) {
		std::string num = kind(gen) == 0 ? "-" : kind(gen) == 1 ? "+" : "";
		int n = len(gen), dot = len(gen);
		for (int i = 0; i < n; i++) {
			if (i == dot)
				num += '.';
			num += char('0' + digit(gen));
		}
		if (kind(gen) == 0)
			num.append("e").append(std::to_string(digit(gen) - 5));
		std::string line;
		line.append(num).append(" ").append(num).append(",").append(num).append("\n");
		Point p;
		ASSERT_EQ(parse_point(line.c_str(), p), PointLine::point) << line;
		float want = float(strtod(num.c_str(), nullptr));
		for (int i = 0; i < 3; i++)
			ASSERT_EQ(memcmp(&want, &p.xyz[i], sizeof want), 0) << num;
		ASSERT_STREQ(p.end[2], "\n");
	}
}

TEST(XfmPoints, LineForms)
{
	Point p;
	for (const char *line : {"", "\n", " \t\r\n", "  # 1 2 3\n", "#\n"}) {
		Table t;
		EXPECT_EQ(read_point_line(t, line, p), PointLine::verbatim) << line;
	}
	for (const char *line : {"1 2\n", "1,,2,3\n", "1 2 3x\n", "1-2 3 4\n", "1 2\n3\n", "1\v2 3\n"})
		EXPECT_EQ(parse_point(line, p), PointLine::bad) << line;
	ASSERT_EQ(parse_point(" 1 ,2 3;label", p), PointLine::bad);
	const char *line = " 1 ,2 3 ;label";
	ASSERT_EQ(parse_point(line, p), PointLine::point);
	EXPECT_EQ(p.begin[0], line + 1);
	EXPECT_EQ(p.end[1], line + 5);
	EXPECT_STREQ(p.end[2], " ;label");
	ASSERT_EQ(parse_point("1 2, 3,4\r\n", p), PointLine::point);
	EXPECT_STREQ(p.end[2], ",4\r\n");
	ASSERT_EQ(parse_point("-inf nan 0x10", p), PointLine::point);
	EXPECT_EQ(p.xyz[0], -INFINITY);
	EXPECT_TRUE(std::isnan(p.xyz[1]));
	EXPECT_EQ(p.xyz[2], 16);
	EXPECT_STREQ(p.end[2], "");
}

// The first line that is neither blank nor a comment: a header or not,
// and the columns of x, y and z it gives.
TEST(XfmPoints, HeaderForms)
{
	struct {
		const char *line;
		bool header;
		size_t x, y, z;
	} cases[] = {
		{"\xEF\xBB\xBFX,z,y\r\n", true, 0, 2, 1},  // a byte order mark, any case
		{",x,y,z\n", true, 1, 2, 3},               // an unnamed first column
		{" \"Z\" \t Y\tx \n", true, 2, 1, 0},      // quoted, tabs part the fields
		{"a,b\tz\ty\tx\n", true, 3, 2, 1},         // tabs before commas
		{"x,x,z,y\n", true, 0, 3, 2},              // the first of two
		{"x,y,label\n", true, 0, 1, 2},            // no z: the first three
		{"x y nan\n", false, 0, 1, 2},             // a number: no header
		{"id,\" 1 \"\n", false, 0, 1, 2},          // a quoted one too
	};
	for (const auto &c : cases) {
		Table t;
		Point p;
		read_point_line(t, "# a comment first\n", p);
		EXPECT_NE(read_point_line(t, c.line, p), PointLine::point) << c.line;
		EXPECT_EQ(t.header, c.header) << c.line;
		EXPECT_EQ(t.column[0], c.x) << c.line;
		EXPECT_EQ(t.column[1], c.y) << c.line;
		EXPECT_EQ(t.column[2], c.z) << c.line;
	}
}

TEST(XfmPoints, PrintsAsPrintfDoes)
{
	// Ties at the fifth decimal, both signs of zero, the edges of the
	// short path, and what only printf can print.
	for (double v :
	     {0.0, -0.0, 0.03125, -0.03125, 0.09375, 1e-5, -4e-5, 5e-5, 99999999999.0, 1e11, -1e11, 3.4e38,
	      double(INFINITY), double(-INFINITY), double(NAN), 0.1, 2.5, 1.00005, -123.45675})
		EXPECT_EQ(printed(double(float(v))), fixed4(double(float(v)))) << v;
	std::mt19937 gen(4);
	std::uniform_real_distribution<double> mantissa(-1, 1);
	std::uniform_int_distribution<int> exponent(-20, 40);
	for (int trial = 0; trial < 200000; trial++) {
		float v = float(ldexp(mantissa(gen), exponent(gen)));
		ASSERT_EQ(printed(v), fixed4(v)) << v;
	}
}

}  // namespace
