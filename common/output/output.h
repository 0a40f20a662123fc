// The writing path of every output file.
//
// A file is created, or refused, exactly where opening it for writing
// would create or refuse it, and only once every byte has been written
// does it take its place, whole: a failure past creation leaves an
// existing file as it was and a new one absent. The file keeps what makes
// it itself (its hard links, owner, group, mode, ACLs and extended
// attributes), and a path naming standard output or standard error is
// written through that stream, never truncated.
#pragma once

#include <cstdio>

// Opens path for writing. Returns nullptr, with errno set and nothing
// changed, when it cannot be created or opened for writing.
FILE *open_output(const char *path);

// Puts what was written to a stream from open_output in place and closes
// the stream. Returns false when anything could not be written or put in
// place: the caller reports a write error, and the path holds what it held
// before.
bool close_output(FILE *fp);
