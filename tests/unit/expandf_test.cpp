#include "pattern_list/expandf.h"

#include "tests/expandf_model.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

const std::string unbalanced = "expandf error: unbalanced parentheses\n";

std::string toolong(int bufsize)
{
	return "expandf error: expanded format length exceeds allocated buffer size (" +
	       std::to_string(bufsize) + ")\n";
}

struct Outcome {
	int result;
	std::string text, out, err;
	bool operator==(const Outcome &) const = default;
};

std::ostream &operator<<(std::ostream &os, const Outcome &o)
{
	return os << o.result << " [" << (o.text.size() > 80 ? o.text.substr(0, 80) + "..." : o.text) << "] ("
	          << o.text.size() << ") out=[" << o.out << "] err=[" << o.err << "]";
}

// Runs expandf in a buffer of bufsize bytes whose bytes after the format
// are not zero, and checks what it may touch: on failure nothing, on
// success the expansion and its terminator.
Outcome expand(const std::string &format, int bufsize = 16384)
{
	std::vector<char> buf(bufsize, '#');
	memcpy(buf.data(), format.c_str(), format.size() + 1);
	std::vector<char> before = buf;

	testing::internal::CaptureStdout();
	testing::internal::CaptureStderr();
	int result = int(expandf(buf.data(), bufsize));
	Outcome o{result, buf.data(), testing::internal::GetCapturedStdout(),
	          testing::internal::GetCapturedStderr()};

	if (result != 0)
		EXPECT_TRUE(buf == before) << "buffer changed on failure: " << format;
	else
		EXPECT_TRUE(std::equal(buf.begin() + o.text.size() + 1, buf.end(),
		                       before.begin() + o.text.size() + 1))
			<< "bytes after the expansion changed: " << format;
	return o;
}

Outcome ok(const std::string &text)
{
	return {0, text, "", ""};
}

Outcome failed(int result, const std::string &format, const std::string &out = "",
               const std::string &err = "")
{
	return {result, format, out, err};
}

TEST(Expandf, WorkedExpansions)
{
	const char *table[][2] = {
		{"2x3-2+1-2+2-2+1-1+2-1+1-1+1-1+2-1+1-1+1-2+2-1+1-1+2-2+1-2+2-",
	         "xx---++-++--++-+--+-+-+--+-+-++--+-+--++-++--"},
		{"3(2x+)", "xx+xx+xx+"},
		{"2(+-)3x", "+-+-xxx"},
		{"3(x)2(+)", "xxx++"},
		{"x2(3(+)-)", "x+++-+++-"},
		{"2((x)3(y))", "xyyyxyyy"},
		{"C3", "CC~"},
		{"S5", "SSSS~"},
		{"3C", "~~~"},
		{"3C2", "C~C~C~"},
		{"2(xC3)", "xCC~xCC~"},
		{"2(3x4)", "xxxxxx"},
		{"2(x)3", "xx"},
		{" 2 x 3 +", "xx+++"},
		{"4~", "~~~~"},
	};
	for (auto &row : table)
		EXPECT_EQ(expand(row[0]), ok(row[1])) << row[0];
}

TEST(Expandf, CountsAndLetters)
{
	// clang-format off
	const char *table[][2] = {
		{"0x", ""}, {"0(x)", ""}, {"(x+)", "x+"}, {"2(x)(y)", "xxy"},
		{"x3", "x"}, {"3", ""}, {"2(3)", ""}, {"007x", "xxxxxxx"},
		{"C", "~"}, {"C0", "~"}, {"C1", "~"}, {"S", "~"}, {"C2", "C~"},
		{"2C", "~~"}, {"C(x)", "~x"}, {"s2c", "s~~"},
		{"1 0x", "xxxxxxxxxx"}, {"C 3", "CC~"}, {"\t2\n(\v+\f-\r)", "+-+-"},
		{"2(1(x)0(y)(z))3", "xzxz"}, {"\xff" "2\x01", "\xff\x01\x01"},
	};
	// clang-format on
	for (auto &row : table)
		EXPECT_EQ(expand(row[0]), ok(row[1])) << row[0];
	// A letter takes 16 digits at most; the 17th counts the next symbol.
	EXPECT_EQ(expand("C" + std::string(15, '0') + "23x"), ok("C~xxx"));
}

TEST(Expandf, EmptyAndBlankFormats)
{
	EXPECT_EQ(expand(""), ok(""));
	EXPECT_EQ(expand(" \t\n"), ok(""));
	// An empty format needs no working storage: not even a buffer size.
	char empty[1] = "";
	EXPECT_EQ(expandf(empty, 0), ExpandResult::done);
}

TEST(Expandf, UnbalancedBrackets)
{
	for (const char *f : {"x(", "(x))", "((x)", "12)", ")", "(", "2(x)(", ")(x)"})
		EXPECT_EQ(expand(f), failed(1, f, unbalanced)) << f;
}

TEST(Expandf, LengthLimits)
{
	EXPECT_EQ(expand("16383x"), ok(std::string(16383, 'x')));
	EXPECT_EQ(expand("16384x"), failed(1, "16384x", "", toolong(16384)));
	EXPECT_EQ(expand("32768x"), failed(1, "32768x", "", toolong(16384)));
	EXPECT_EQ(expand("32769x"), failed(-1, "32769x"));
	EXPECT_EQ(expand("x32768"), failed(-1, "x32768"));
	EXPECT_EQ(expand("x32767"), ok("x"));
	EXPECT_EQ(expand("C16383"), ok(std::string(16382, 'C') + "~"));
	EXPECT_EQ(expand("C16384"), failed(1, "C16384", "", toolong(16384)));
	EXPECT_EQ(expand("C32765"), failed(1, "C32765", "", toolong(16384)));
	EXPECT_EQ(expand("C32766"), failed(-1, "C32766"));
	EXPECT_EQ(expand("x20000(+)("), failed(1, "x20000(+)(", unbalanced, toolong(16384)));
	EXPECT_EQ(expand("2x", 3), ok("xx"));
	EXPECT_EQ(expand("3x", 3), failed(1, "3x", "", toolong(3)));
	EXPECT_EQ(expand("7x", 3), failed(-1, "7x"));
}

// What the final check measures after a failure decides whether the
// length message is printed: the text in front of the failing group or
// run, or before the stray ')' less its digits.
TEST(Expandf, MeasuredAfterFailure)
{
	// 16383 characters once the letter group is written out; the letter
	// takes all 16 digits, so a digit after them stands on its own.
	std::string big = "C0000000000016381";
	EXPECT_EQ(expand(big + "x)"), failed(1, big + "x)", unbalanced, toolong(16384)));
	EXPECT_EQ(expand(big + "5)"), failed(1, big + "5)", unbalanced));
	EXPECT_EQ(expand(big + "x" + "99999(x)"), failed(1, big + "x99999(x)", "", toolong(16384)));
	EXPECT_EQ(expand(big + "99999(x)"), failed(-1, big + "99999(x)"));
	EXPECT_EQ(expand("16384x32768y"), failed(1, "16384x32768y", "", toolong(16384)));
	EXPECT_EQ(expand("16383x32768y"), failed(-1, "16383x32768y"));
	// A failure inside a later copy measures the copies in front of it.
	EXPECT_EQ(expand("2(16383x(" + std::string("32769y") + "))"), failed(-1, "2(16383x(32769y))"));
	EXPECT_EQ(expand("2(x2(10000y))"), failed(1, "2(x2(10000y))", "", toolong(16384)));
	// Exactly at the limit: copy 2 of 3 fills all 16 characters, copy 1
	// fails; copy 4 of 6 fails after 20 characters, copies 5 and 6 expanded.
	EXPECT_EQ(expand("3(6(x))", 8), failed(-1, "3(6(x))"));
	EXPECT_EQ(expand("6(()7(x))", 20), failed(1, "6(()7(x))", "", toolong(20)));
}

TEST(Expandf, OversizedCountsNeverWrap)
{
	for (const char *f : {"2000000000(xx)", "x2147483647y", "4294967297x", "4294967296(x)",
	                      "99999999999999999999x", "C9999999999999999", "x99999999999"})
		EXPECT_EQ(expand(f), failed(-1, f)) << f;
	// Nothing copied a great many times is still nothing, but the content
	// is copied as written before its own groups expand.
	EXPECT_EQ(expand("x3000000000()"), ok("x"));
	EXPECT_EQ(expand("2000000000(0(y))"), failed(-1, "2000000000(0(y))"));
}

TEST(Expandf, FormatTooLongForItsBuffer)
{
	std::vector<char> buf(16384, ' ');
	std::vector<char> before = buf;
	testing::internal::CaptureStderr();
	EXPECT_EQ(expandf(buf.data(), 16384), ExpandResult::reported);
	EXPECT_EQ(testing::internal::GetCapturedStderr(), toolong(16384));
	EXPECT_TRUE(buf == before);

	std::string longest(16382, ' ');
	EXPECT_EQ(expand(longest + "x"), ok("x"));
}

// Repeated nesting multiplies the steps of the expansion, not its cost.
TEST(Expandf, DeepRepetitionIsFast)
{
	std::string f;
	for (int i = 0; i < 147; i++)
		f = "2(" + f + ")";
	EXPECT_EQ(expand(f), ok(""));
	f = "x";
	for (int i = 0; i < 40; i++)
		f = "2(" + f + ")";
	EXPECT_EQ(expand(f), failed(-1, f));
	EXPECT_EQ(expand("2(" + std::string(8190, '(') + std::string(8190, ')') + ")"), ok(""));
}

// The plain rewrites, with the messages they print.
Outcome rewrites(const std::string &format, int bufsize)
{
	expandf_model::Outcome m;
	expandf_model::expand(format, bufsize, m);
	return {m.result, m.text, m.unbalanced ? unbalanced : "", m.toolong ? toolong(bufsize) : ""};
}

using expandf_model::digit;
using expandf_model::value;

// Random formats of symbols, counts, letter groups and groups, with a stray
// bracket now and then.
struct Formats {
	std::mt19937 rng{20261208};

	int pick(int n)
	{
		return std::uniform_int_distribution<int>(0, n - 1)(rng);
	}

	std::string count(int big)
	{
		switch (pick(8)) {
		case 0:
			return "";
		case 1:
			return "0";
		case 2:
			return std::to_string(big + pick(3) - 1);
		case 3:
			return pick(4) ? "" : "99999999999";
		default:
			return std::to_string(1 + pick(3));
		}
	}

	std::string items(int depth, int big, bool stray)
	{
		std::string f;
		for (int n = pick(4); n >= 0; n--) {
			switch (pick(depth > 0 ? 7 : 4)) {
			case 0:
				f += std::string(1, "CScs"[pick(4)]) + count(big);
				break;
			case 1:
				f += count(big) + "x+-~"[pick(4)];
				break;
			case 2:
				f += pick(2) ? " " : "1";
				break;
			case 3:
				f += stray && !pick(6) ? "()"[pick(2)] : 'x';
				break;
			default:
				f += count(big) + "(" + items(depth - 1, big, stray) + count(big) + ")";
			}
		}
		return f;
	}
};

TEST(Expandf, AgreesWithTheRewrites)
{
	Formats g;
	int failures = 0;
	for (int n = 0; n < 4000; n++) {
		std::string f = g.items(3, 2 + g.pick(30), true);
		int bufsize = f.size() + 1 + g.pick(40);
		Outcome want = rewrites(f, bufsize);
		ASSERT_EQ(expand(f, bufsize), want) << "format [" << f << "] bufsize " << bufsize;
		failures += want.result != 0;
	}
	EXPECT_GT(failures, 500);  // the failures are exercised too
}

// The expansion read as a grammar: a count repeats the item after it, a
// count with no item after it is dropped.
std::string grammar(const char *&p)
{
	std::string out;
	while (*p && *p != ')') {
		const char *d = p;
		while (digit(*p))
			p++;
		uint64_t n = p > d ? value(std::string(d, p)) : 1;
		if (!*p || *p == ')')
			break;
		std::string item;
		if (*p == '(') {
			item = grammar(++p);
			p++;
		} else if (strchr("CScs", *p)) {
			char c = *p++;
			d = p;
			while (p - d < 16 && digit(*p))
				p++;
			uint64_t m = value(std::string(d, p));
			item = std::string(m > 1 ? m - 1 : 0, c) + "~";
		} else {
			item = *p++;
		}
		for (uint64_t k = 0; k < n; k++)
			out += item;
	}
	return out;
}

TEST(Expandf, AgreesWithTheGrammar)
{
	Formats g;
	for (int n = 0; n < 3000; n++) {
		std::string f = g.items(4, 5, false), bare;
		for (char c : f)
			if (c != ' ')
				bare += c;
		if (bare.find("99999999999") != std::string::npos)
			continue;
		const char *p = bare.c_str();
		std::string want = grammar(p);
		if (want.size() > 2000)
			continue;
		ASSERT_EQ(expand(f), ok(want)) << "format [" << f << "]";
	}
}

}  // namespace
