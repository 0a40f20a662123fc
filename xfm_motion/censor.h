// Which frames of a motion series to leave out of an analysis, and the
// mask written as runs for pattern_list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CensorRules {
	double threshold;      // mm of framewise displacement
	int64_t before = 0;    // frames left out before each that moved too much
	int64_t after = 0;     // and after it
	int64_t shortest = 1;  // the fewest frames a run kept between censored ones may hold
};

// One flag per frame, 1 to leave the frame out: a frame whose displacement
// fd[i] exceeds the threshold or is not a number (the first frame's has no
// meaning and is ignored), the frames before and after it that the rules
// name, and then every run of frames still kept that is shorter than
// shortest.
std::vector<char> censor(const std::vector<double> &fd, const CensorRules &rules);

// The flags as runs from the first frame, each its count and '+' for kept
// or 'x' for censored, the count always written: 1,1,0,0 gives "2x2+".
std::string runs(const std::vector<char> &censored);
