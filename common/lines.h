// The line reader of every program. Its buffers are taken from the run's
// memory budget.
#pragma once

#include <cstddef>
#include <cstdio>

#include "common/budget.h"
#include "common/fault.h"

// A line is read as a C string: the bytes up to its first NUL or through its
// newline, whichever comes first. The bytes after a NUL, up to the newline,
// are consumed but not part of the line. The reader never reads past the
// newline of the line it hands out, so another read of the same stream
// (fscanf, say) goes on right after it. Beside the memory budget's count it
// keeps no state outside itself: one reader per stream at a time.
struct LineReader {
	Buffer buf;
	char *line = nullptr;       // the line read last, ended by a NUL
	size_t len = 0;             // its length, its newline included
	Fault fault = Fault::none;  // why read_line last returned false
	size_t first_size = 4096;   // the buffer's first size
	Buffer block;               // the stream buffer of open_lines
};

// Takes the reader's stream buffer and its line buffer's first size from
// the budget, as open_lines and read_line would; false when they do not fit.
bool ready_lines(LineReader &in);

// Opens path for reading through a stream buffer of the reader's own, large
// enough that a file of megabytes is read in few system calls. The stream
// must be closed before the reader opens another or goes away. Returns
// nullptr when the file cannot be opened (in.fault is Fault::read) or its
// stream buffer does not fit the budget (Fault::memory).
FILE *open_lines(LineReader &in, const char *path);

// Gives fp, a stream opened elsewhere and not yet read (standard input,
// say), the reader's stream buffer. False, with in.fault Fault::memory, when
// the buffer does not fit the budget.
bool buffer_lines(LineReader &in, FILE *fp);

// Reads the next line of fp. False at the end of the stream (fault none),
// when reading fails (Fault::read), or when the line would outgrow the
// memory budget (Fault::memory).
bool read_line(LineReader &in, FILE *fp);
