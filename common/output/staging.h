// Content that takes memory while it waits to be put in place: kept in a
// buffer of the run's own where no unnamed file can be made beside its
// target, or written to an unnamed file on a file system whose pages are
// memory (tmpfs, ramfs). Either way every byte is counted against the run's
// memory budget as it is written.
#pragma once

#include <cstdio>

#include "common/budget.h"

struct Staging {
	Buffer buf;            // the content, when no file holds it
	size_t length = 0;     // bytes written
	int fd = -1;           // the unnamed file in memory that holds it, or -1
	bool refused = false;  // a write did not fit the budget
};

// A stream that writes to staging. A write that the budget refuses, or
// that cannot be done, fails and sets the stream's error, as a full disk
// would: the content is never cut short without a word.
FILE *open_staging(Staging &staging);

// Whether the file open at fd keeps its pages in memory.
bool in_memory(int fd);
