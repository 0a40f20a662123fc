// The writing path of every output file, and the two header lines that
// begin each one.
#pragma once

#include <cstdio>

// Opens path for writing, replacing what stood there. Returns nullptr when
// it cannot be created.
FILE *open_output(const char *path);

// Closes a stream from open_output. Returns false when any write to it or
// the close itself failed: the caller reports a write error.
bool close_output(FILE *fp);

// "#" with the program name and every argument after it, verbatim and in
// order, then "#" with the revision line.
void write_command_line(FILE *fp, int argc, char *const argv[]);
