// What a fuzz target demands of the code it runs: a demand that fails is a
// finding, and ends the run as a crash does.
#pragma once

#include <cstdio>
#include <cstdlib>

#define demand(cond) ((cond) ? (void)0 : demand_failed(#cond, __FILE__, __LINE__))

[[noreturn]] inline void demand_failed(const char *what, const char *file, int line)
{
	fprintf(stderr, "%s:%d: demand failed: %s\n", file, line, what);
	abort();
}
