// Putting a finished output file in place. A file is found by the directory
// that holds it and its name there, and every step checks that the name
// still names the very file that was opened: nothing is resolved from a
// path string a moment later.
#pragma once

#include <limits.h>

#include <cstddef>

struct Output;

struct Entry {
	int dir;                  // the directory, open with O_PATH
	char name[NAME_MAX + 1];  // a name in it
};

// The new content of a file: in an unnamed file (fd), or else in memory.
struct Content {
	int fd;
	const char *memory;
	size_t length;
};

// Sets entry to name in dir, which it then owns; false, with errno
// ENAMETOOLONG, when no directory entry can hold name.
bool set_entry(Entry &entry, int dir, const char *name);

// Removes the entry if it still names the file open at fd.
bool remove_entry(const Entry &entry, int fd);

// Follows the symbolic links from entry, as opening it did, to the entry
// that names the file open at fd, and makes entry that one. False, with
// entry as it was, when none does any more.
bool locate(Entry &entry, int fd);

// Gives the unnamed file open at fd the name entry. Fails, changing
// nothing, when that name has been taken meanwhile.
bool link_unnamed(int fd, const Entry &entry);

// Replaces the content of the existing file open at out.target, named by
// out.entry, with content. By rename where the replacement can be given
// everything the file has (owner, group, mode, its one link, no extended
// attributes); otherwise in place, and only once every block that will be
// written is reserved, so that no old byte is overwritten before the rest
// is sure to fit. False, with the file as it was, when it could not be done.
bool replace(Output &out, const Content &content);
