// The stream of an output's content: written to the unnamed file that holds
// it, or, where no unnamed file can be made beside its target, kept in a
// buffer of the run's own. Content that takes memory while it waits (the
// buffer, or an unnamed file on a file system whose pages are memory:
// tmpfs, ramfs) is counted against the run's memory budget as it is
// written.
#pragma once

#include <cstdio>

#include "common/budget.h"

struct Staging {
	Buffer buf;            // the content, when no file holds it
	size_t length = 0;     // bytes in the buffer
	int fd = -1;           // the unnamed file that holds it, or -1
	bool counted = true;   // its bytes are counted against the budget
	bool refused = false;  // a write did not fit the budget
};

// A stream that writes to staging. A write that the budget refuses, or
// that cannot be done, fails and sets the stream's error, as a full disk
// would: the content is never cut short without a word.
FILE *open_staging(Staging &staging);

// Whether the file open at fd keeps its pages in memory.
bool in_memory(int fd);
