// The walks over the arguments and the numbers of an option's value.
#include "common/args.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Every step of a walk, joined by blanks.
std::string walk(std::vector<const char *> args, const char *letters = nullptr)
{
	args.insert(args.begin(), "prog");
	int argc = int(args.size());
	args.push_back(nullptr);
	char *const *argv = const_cast<char *const *>(args.data());
	std::string steps;
	for (int at = 0;;) {
		const char *step =
			letters ? next_option(argc, argv, letters, at) : next_positional(argc, argv, at);
		if (!step)
			break;
		if (!steps.empty())
			steps += ' ';
		steps += step;
	}
	return steps;
}

TEST(Args, WalksThePositionalsAndTheOptionsWithValues)
{
	std::vector<const char *> args = {"-x", "a", "-r60", "-", "b", "-qc1,2", "c", "-s"};
	EXPECT_EQ(walk(args), "a b c");
	EXPECT_EQ(walk(args, "rc"), "r60 c1,2");
	EXPECT_EQ(walk(args, "s"), "s");
	EXPECT_EQ(walk({}), "");
	EXPECT_EQ(walk({"-a"}), "");
}

TEST(Args, OptionNumbers)
{
	double v[3];
	ASSERT_TRUE(option_numbers("-1,2.5e1,0x10", v, 3));
	EXPECT_EQ(v[0], -1);
	EXPECT_EQ(v[1], 25);
	EXPECT_EQ(v[2], 16);
	for (const char *bad : {"", "1,2", "1,2,3,", "1,2,3,4", "1,,3", "1, 2,3", " 1,2,3", "1,2,nan",
	                        "1,-inf,3", "1,2,3x", "1e999,2,3"})
		EXPECT_FALSE(option_numbers(bad, v, 3)) << bad;
}

// The first stray argument of a command line, as "KIND LETTER ARG".
std::string stray(std::vector<const char *> args, const Grammar &grammar)
{
	args.insert(args.begin(), "prog");
	int argc = int(args.size());
	args.push_back(nullptr);
	StrayArgument s = find_stray(argc, const_cast<char *const *>(args.data()), grammar);
	static const char *kinds[] = {"none", "unknown", "needs", "apart", "extra", "missing"};
	return std::string(kinds[int(s.kind)]) + (s.letter ? std::string(" ") + s.letter : "") +
	       (s.arg ? std::string(" ") + s.arg : "");
}

TEST(Args, FindsTheFirstStrayArgument)
{
	Grammar points = {"i", "", 1, 2};
	EXPECT_EQ(stray({"-i", "t4", "in"}, points), "none");
	EXPECT_EQ(stray({"-I", "t4"}, points), "unknown I -I");
	EXPECT_EQ(stray({"-ii", "t4", "-iq"}, points), "unknown q -iq");
	EXPECT_EQ(stray({"T", "in.csv", "out.csv"}, points), "extra out.csv");
	EXPECT_EQ(stray({"-i"}, points), "missing");
	Grammar make = {"", "trska", 1, 1};
	EXPECT_EQ(stray({"-r10,5,-15", "-t1e5,0,0", "out"}, make), "none");
	EXPECT_EQ(stray({"-x1,2,3", "out"}, make), "unknown x -x1,2,3");
	EXPECT_EQ(stray({"-r", "10,5,-15", "out"}, make), "apart r 10,5,-15");
	EXPECT_EQ(stray({"out", "-t"}, make), "needs t -t");
	Grammar any = {"f", "r", 0, -1};
	EXPECT_EQ(stray({"a", "b", "c", "-fr2"}, any), "none");
}

}  // namespace
