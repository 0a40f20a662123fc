#include "common/split.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> tokens(std::string line, int max, bool uncommented)
{
	std::vector<char *> tok(max > 0 ? max : 1);
	int n = uncommented ? split_uncommented(line.data(), tok.data(), max)
	                    : split(line.data(), tok.data(), max);
	return {tok.begin(), tok.begin() + n};
}

using Words = std::vector<std::string>;

TEST(Split, HashIsOrdinaryUnlessCommentsAreCut)
{
	EXPECT_EQ(tokens("  a\tb  # c\n", 256, false), (Words{"a", "b", "#", "c"}));
	EXPECT_EQ(tokens("  a\tb  # c\n", 256, true), (Words{"a", "b"}));
	EXPECT_EQ(tokens("#t4\n", 256, true), Words{});
	EXPECT_EQ(tokens("t4#x\n", 256, true), Words{"t4"});
}

TEST(Split, StopsAtMaxAndLeavesTheRest)
{
	std::string line = "a b c";
	char *tok[2];
	EXPECT_EQ(split(line.data(), tok, 2), 2);
	EXPECT_EQ(std::string(tok[1]), "b");
	EXPECT_EQ(std::string(tok[1] + 2), "c");  // the blank after b was cut, c untouched
}

TEST(Split, NoTokens)
{
	EXPECT_EQ(tokens("", 256, false), Words{});
	EXPECT_EQ(tokens(" \t\r\n", 256, false), Words{});
	EXPECT_EQ(tokens("a b", 0, false), Words{});
}

TEST(Split, CutsCommentEvenWithoutRoomForTokens)
{
	std::string line = "a # b";
	char *tok[1];
	EXPECT_EQ(split_uncommented(line.data(), tok, 0), 0);
	EXPECT_EQ(line.c_str(), std::string("a "));
}

TEST(Split, EveryByteOutsidePrintableAsciiSeparates)
{
	EXPECT_EQ(tokens("ab\x80" "cd\xff" "e\x7f" "f\x01g", 256, false),
	          (Words{"ab", "cd", "e", "f", "g"}));
	EXPECT_EQ(tokens("scale:2", 256, false), Words{"scale:2"});
	EXPECT_EQ(tokens("scale: 2", 256, false), (Words{"scale:", "2"}));
}

}  // namespace
