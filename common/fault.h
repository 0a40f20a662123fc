// What a shared unit hands back instead of ending the run: the program's
// driver reports it (common/prog.h: report) with the file it concerns.
#pragma once

enum class Fault {
	none,
	read,    // "%s: %s read error"
	write,   // "%s: %s write error"
	format,  // "%s: %s format error"
	memory,  // "%s: memory allocation error"
};
