#include "xfm/t4.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

TEST(XfmName, ParsesTheBaseName)
{
	std::string a, b;
	EXPECT_TRUE(parse_xfm_name("x_to_y_to_z_t4", a, b));
	EXPECT_EQ(a, "x");
	EXPECT_EQ(b, "y_to_z");
	EXPECT_TRUE(parse_xfm_name("a_to_b_t4.bak", a, b));
	EXPECT_EQ(a + "|" + b, "a|b");
	EXPECT_TRUE(parse_xfm_name("d_to_e/sub/p_to_q_t4", a, b));
	EXPECT_EQ(a + "|" + b, "p|q");
	EXPECT_TRUE(parse_xfm_name("_to__t4", a, b));
	EXPECT_EQ(a + "|" + b, "|");

	std::string longa(300, 'a'), longb(400, 'b');
	EXPECT_TRUE(parse_xfm_name(("dir/" + longa + "_to_" + longb + "_t4").c_str(), a, b));
	EXPECT_EQ(a, longa);
	EXPECT_EQ(b, longb);
	EXPECT_EQ(xfm_name(b, a), longb + "_to_" + longa + "_t4");
}

TEST(XfmName, RejectsNamesWithoutThePattern)
{
	std::string a, b;
	for (const char *name : {"a_t4", "a_to_b", "a_to_t4", "p_to_q_t4/", "x_to_y/a_t4", ""})
		EXPECT_FALSE(parse_xfm_name(name, a, b)) << name;
}

// A stream over the given text; closed by the caller.
FILE *text_stream(const std::string &text)
{
	FILE *fp = tmpfile();
	fputs(text.c_str(), fp);
	rewind(fp);
	return fp;
}

// t4read on a stream over text, from its first line; *rest as it left it.
int read_matrix(const std::string &text, float t[16], std::string *rest)
{
	FILE *fp = text_stream(text);
	LineReader in;
	char *after = nullptr;
	int status = t4read(fp, in, &after, t);
	*rest = after ? after : "(end)";
	fclose(fp);
	return status;
}

TEST(T4read, ReadsNumbersAcrossLines)
{
	float t[16];
	std::string rest;
	EXPECT_EQ(read_matrix("1 2\n3 4 5\n\n 6 7 8 9 10 11 12\n13 14 15\t16 rest\n", t, &rest), 0);
	for (int i = 0; i < 4; i++)
		for (int j = 0; j < 4; j++)
			EXPECT_EQ(t[i + 4 * j], float(4 * i + j + 1));
	EXPECT_EQ(rest, " rest\n");
}

TEST(T4read, StopsAtTheFirstShortRow)
{
	float t[16] = {};
	std::string rest;
	EXPECT_EQ(read_matrix("1 2 3 4\n5 6 # 7 8\n9 10 11 12\n", t, &rest), -1);
	EXPECT_EQ(t[12], 4);
	EXPECT_EQ(t[5], 6);
	EXPECT_EQ(rest, "# 7 8\n");
	EXPECT_EQ(read_matrix("", t, &rest), -1);
	// A NUL byte is no white space: the numbers after it are not reached.
	EXPECT_EQ(read_matrix(std::string("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15\0 16\n", 36), t, &rest), -1);
}

TEST(T4list, RowsInFixedFields)
{
	char *buf = nullptr;
	size_t len = 0;
	FILE *fp = open_memstream(&buf, &len);
	float t[16] = {1, 0, -0.0f, 0, 0.5f, 123.4567f, 0, 0, 0, 0, 1, 0, 1.23456f, -10000, 2, 1};
	t4list(fp, t);
	fclose(fp);
	EXPECT_EQ(std::string(buf, len), "t4\n"
	                                 "  1.000000  0.500000  0.000000    1.2346\n"
	                                 "  0.000000 123.456703  0.000000 -10000.0000\n"
	                                 " -0.000000  0.000000  1.000000    2.0000\n"
	                                 "  0.000000  0.000000  0.000000    1.0000\n");
	free(buf);
}

// A transform file on disk, removed at the end of the test.
class XfmFile : public testing::Test {
protected:
	std::string path;

	void write(const std::string &text)
	{
		TearDown();
		path = testing::TempDir() + "t4_test_XXXXXX";
		int fd = mkstemp(path.data());
		ASSERT_GE(fd, 0);
		ASSERT_EQ(::write(fd, text.data(), text.size()), ssize_t(text.size()));
		close(fd);
	}

	void TearDown() override
	{
		if (!path.empty())
			unlink(path.c_str());
	}

	// Reads the file and checks the progress line it prints first, and
	// that only a file read is listed.
	Fault read(float t[16], float &scale)
	{
		CaptureStdout();
		Fault fault = load_xfm(path.c_str(), t, scale, Echo::listed);
		std::string out = GetCapturedStdout(), reading = "Reading: " + path + "\n";
		EXPECT_EQ(out.substr(0, reading.size()), reading);
		EXPECT_EQ(out.size() > reading.size(), fault == Fault::none);
		return fault;
	}
};

const char identity[] = "  1.000000  0.000000  0.000000    0.0000\n"
			"  0.000000  1.000000  0.000000    0.0000\n"
			"  0.000000  0.000000  1.000000    0.0000\n"
			"  0.000000  0.000000  0.000000    1.0000\n";

// As written, and with CR LF line ends: a CR is white space.
TEST_F(XfmFile, AsTheToolsWriteIt)
{
	std::string text =
		std::string("#xfm_chain a_to_b_t4 b_to_c_t4\n#$Id$\n#product transform=[x][y]\nt4\n") +
		identity + "scale:      2.500000\n";
	for (const char *end : {"\n", "\r\n"}) {
		std::string lines;
		for (char c : text)
			lines += c == '\n' ? std::string(end) : std::string(1, c);
		write(lines);
		float t[16], scale;
		EXPECT_EQ(read(t, scale), Fault::none);
		for (int k = 0; k < 16; k++)
			EXPECT_EQ(t[k], k % 5 == 0 ? 1 : 0);
		EXPECT_EQ(scale, 2.5f);
	}
}

TEST_F(XfmFile, LastBlockAndLastScaleWin)
{
	write("scale: 3\n"
	      "t4   # first\n1 1 1 1\n1 1 1 1\n1 1 1 1\n1 1 1 1\n"
	      "scale: 0.1\n"
	      "note: anything else\n"
	      "t4\n2 2 2 2 2 2 2 2\n2 2 2 2\n\n2 2 2 2\n"
	      "scale:\n");
	float t[16], scale;
	EXPECT_EQ(read(t, scale), Fault::none);
	for (float x : std::vector<float>(t, t + 16))
		EXPECT_EQ(x, 2);
	EXPECT_EQ(scale, 0.1f);  // rounded to single precision; the empty "scale:" is ignored
}

TEST_F(XfmFile, KeywordsMustStandAlone)
{
	// None of these opens a block, so the file is read in the bare form:
	// its first 16 numbers.
	write("1 0 0 7 0 1 0 8 0 0 1 9 0 0 0 1\nt4 x\nT4\nt4x\nscale:4 # one token\n");
	float t[16], scale;
	EXPECT_EQ(read(t, scale), Fault::none);
	EXPECT_EQ(t[12], 7);
	EXPECT_EQ(t[14], 9);
	EXPECT_EQ(scale, 0);
}

TEST_F(XfmFile, BareFormWithScale)
{
	write(std::string(identity) + "scale: -inf\n");
	float t[16], scale;
	EXPECT_EQ(read(t, scale), Fault::none);
	EXPECT_EQ(t[15], 1);
	EXPECT_EQ(scale, -HUGE_VALF);
}

TEST_F(XfmFile, RestOfTheLastNumbersLineIsTheNextLine)
{
	write("t4\n1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1 scale: 3\nscale: not-a-number-but-later\n");
	float t[16], scale;
	EXPECT_EQ(read(t, scale), Fault::none);
	EXPECT_EQ(scale, 0);

	write("t4\n1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1 scale: 3\n");
	EXPECT_EQ(read(t, scale), Fault::none);
	EXPECT_EQ(scale, 3);
}

TEST_F(XfmFile, LongCommentLinesStayComments)
{
	// Read in pieces, the tail of this line would set the scale and open
	// a block.
	write("#" + std::string(300, 'x') + " scale: 5\n#" + std::string(254, 'y') + " t4\n" + "t4\n" +
	      identity);
	float t[16], scale;
	EXPECT_EQ(read(t, scale), Fault::none);
	EXPECT_EQ(scale, 0);
	EXPECT_EQ(t[0], 1);
}

TEST_F(XfmFile, UnreadableMatrices)
{
	for (const std::string &text : std::vector<std::string>{
		     "", "# only a comment\n" + std::string(identity),
		     "t4\n1 0 0 0\n0 1 0 0 # comment\n0 0 1 0\n0 0 0 1\n", "t4\n1 0 0 0\n0 1 0 0\n"}) {
		write(text);
		float t[16], scale;
		EXPECT_EQ(read(t, scale), Fault::read);
	}
}

TEST(XfmRead, MissingFileIsAReadFaultBeforeAnyReadingLine)
{
	float t[16], scale;
	CaptureStdout();
	EXPECT_EQ(load_xfm("/nonexistent/a_to_b_t4", t, scale, Echo::listed), Fault::read);
	EXPECT_EQ(GetCapturedStdout(), "");
}

// A stream that hands out text and then fails, as a disk may.
ssize_t text_then_failure(void *cookie, char *buf, size_t size)
{
	std::string &rest = *static_cast<std::string *>(cookie);
	if (rest.empty()) {
		errno = EIO;
		return -1;
	}
	size_t n = std::min(size, rest.size());
	memcpy(buf, rest.data(), n);
	rest.erase(0, n);
	return ssize_t(n);
}

TEST(T4scan, ReadErrorAfterACompleteBlock)
{
	std::string text = std::string("t4\n") + identity + "scale: 2\n";
	FILE *fp = fopencookie(&text, "r", {text_then_failure, nullptr, nullptr, nullptr});
	float t[16], scale;
	EXPECT_EQ(t4scan(fp, t, scale), Fault::read);
	fclose(fp);
}

}  // namespace
