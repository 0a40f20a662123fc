// The files a program writes: each is opened through the writer, named in
// a progress message and begun with two comment lines.
#pragma once

#include <cstdio>
#include <string>

#include "common/output/output.h"

// The text with every newline and carriage return written as the two
// characters \n or \r, so that it stays on the comment line it is put on.
std::string one_line(const char *text);

// Opens path for writing with open_output, as a member of set when one is
// given, prints "Writing: PATH\n" on progress (the path as Message::shown
// shows it, common/prog.h), and writes the header lines:
// "#" with the program name and every argument after it, in order, then
// "#" with the revision line. Each is written as one_line gives it: only an
// argument holding a newline or carriage return differs from what was
// typed. nullptr, with nothing printed, when the file cannot be opened;
// close_output ends it.
FILE *open_result(const char *path, FILE *progress, OutputSet *set = nullptr);
