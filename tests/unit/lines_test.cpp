// The line reader and the tokenizer that every program reads with.
#include "common/lines.h"
#include "common/tokens.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using Words = std::vector<std::string>;

Words tokens(std::string line, bool uncommented = false)
{
	if (uncommented)
		cut_comment(line.data());
	Words out;
	const char *p = line.c_str();
	for (std::string_view t; !(t = next_token(&p)).empty();)
		out.emplace_back(t);
	EXPECT_EQ(count_tokens(line.c_str()), out.size());
	return out;
}

TEST(Tokens, GraphicRunsUpToTheFirstNul)
{
	EXPECT_EQ(tokens("  a\tb  # c\n"), (Words{"a", "b", "#", "c"}));
	EXPECT_EQ(tokens("  a\tb  # c\n", true), (Words{"a", "b"}));
	EXPECT_EQ(tokens("t4#x\n", true), Words{"t4"});
	EXPECT_EQ(tokens("ab\x80"
	                 "cd\xff"
	                 "e\x7f"
	                 "f\x01g\r\n"),
	          (Words{"ab", "cd", "e", "f", "g"}));
	EXPECT_EQ(tokens(std::string("-1 1 2\0 3\n", 10)), (Words{"-1", "1", "2"}));
	EXPECT_EQ(tokens(" \t\r\n"), Words{});
	EXPECT_EQ(tokens("scale:2"), Words{"scale:2"});
}

// The lines of a stream holding text, read with a buffer of first_size
// bytes to begin with, and the fault at their end.
Words lines(const std::string &text, size_t first_size = 4096, Fault *fault = nullptr)
{
	FILE *fp = tmpfile();
	fwrite(text.data(), 1, text.size(), fp);
	rewind(fp);
	LineReader in;
	in.first_size = first_size;
	Words out;
	while (read_line(in, fp)) {
		EXPECT_EQ(in.len, strlen(in.line));
		out.emplace_back(in.line, in.len);
	}
	if (fault)
		*fault = in.fault;
	else
		EXPECT_EQ(in.fault, Fault::none);
	fclose(fp);
	return out;
}

TEST(LineReader, LinesOfAnyLengthComeWhole)
{
	for (size_t first : {2, 3, 4, 5, 4096}) {
		EXPECT_EQ(lines("", first), Words{});
		EXPECT_EQ(lines("\n\n", first), (Words{"\n", "\n"}));
		EXPECT_EQ(lines("a\nbc\ndef\nghij", first), (Words{"a\n", "bc\n", "def\n", "ghij"}));
	}
	std::string longer(3000000, 'x'), shorter(200000, 'y');
	Words want{"#h\n", longer + "\n", shorter + "\n", "z\n", shorter};
	EXPECT_EQ(lines("#h\n" + longer + "\n" + shorter + "\nz\n" + shorter), want);
}

TEST(LineReader, NulEndsTheLineAndItsNewlineIsDropped)
{
	for (size_t first : {2, 3, 4096})
		EXPECT_EQ(lines(std::string("a\0b\n\0\ncd\n#x\0", 12), first),
		          (Words{"a", "", "cd\n", "#x"}));
}

TEST(LineReader, ReadsNothingPastTheNewline)
{
	FILE *fp = tmpfile();
	fputs("t4\n 1 2\n", fp);
	rewind(fp);
	LineReader in;
	ASSERT_TRUE(read_line(in, fp));
	int value;
	EXPECT_EQ(fscanf(fp, "%d", &value), 1);
	EXPECT_EQ(value, 1);
	fclose(fp);
}

TEST(LineReader, ReadingADirectoryFails)
{
	FILE *fp = fopen(".", "r");
	ASSERT_NE(fp, nullptr);
	LineReader in;
	EXPECT_FALSE(read_line(in, fp));
	EXPECT_EQ(in.fault, Fault::read);
	fclose(fp);
}

}  // namespace
