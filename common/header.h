// The two comment lines that begin every file a program writes.
#pragma once

#include <cstdio>
#include <string>

// The text with every newline and carriage return written as the two
// characters \n or \r, so that it stays on the comment line it is put on.
std::string one_line(const char *text);

// "#" with the program name and every argument after it, in order, then "#"
// with the revision line. Each is written as one_line gives it: only an
// argument holding a newline or carriage return differs from what was typed.
void write_command_line(FILE *fp);
