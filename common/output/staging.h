// Content kept in memory until it is put in place, where no unnamed file
// can be made beside its target.
#pragma once

#include <cstdio>

#include "common/budget.h"

struct Staging {
	Buffer buf;         // grows within the run's memory budget
	size_t length = 0;  // bytes written
};

// A stream that appends to staging. Growth that the budget refuses, or
// that cannot be allocated, fails the write and sets the stream's error,
// as a full disk would: the content is never cut short without a word.
FILE *open_staging(Staging &staging);
