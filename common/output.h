// The writing path of every output file, and the two header lines that
// begin each one.
#pragma once

#include <cstdio>
#include <string>

// Opens path for writing, replacing what stood there. Returns nullptr when
// it cannot be created.
FILE *open_output(const char *path);

// Closes a stream from open_output. Returns false when any write to it or
// the close itself failed: the caller reports a write error.
bool close_output(FILE *fp);

// The text with every newline and carriage return written as the two
// characters \n or \r, so that it stays on the comment line it is put on.
std::string one_line(const char *text);

// "#" with the program name and every argument after it, in order, then "#"
// with the revision line. Each is written as one_line gives it: only an
// argument holding a newline or carriage return differs from what was typed.
void write_command_line(FILE *fp);
