// The list file: the path of one subject's lag table on each line.
#pragma once

#include <cstdio>

#include "common/fault.h"
#include "common/lines.h"

// The paths of a list, read once and kept in list order, each followed by
// a NUL: a path is its line without the newline.
struct TableList {
	Buffer paths;
	size_t size = 0;  // bytes of paths in use
	int nsub = 0;     // the number of paths
};

// Reads the list from fp, checking that every path names a readable file
// before any table is read. At the first that does not, returns Fault::read
// with *unreadable pointing at it (valid until in reads again); a fault of
// the list itself leaves *unreadable null: Fault::read when it cannot be
// read, Fault::format when it holds no line or more than INT_MAX,
// Fault::memory when its paths do not fit the memory budget.
Fault read_list(FILE *fp, LineReader &in, TableList &list, const char **unreadable);

// The path after `path` in the list (the first for nullptr); nullptr after
// the last.
const char *next_path(const TableList &list, const char *path);
