// The file-system steps of putting an output in place. A file is found by
// the directory that holds it and its name there, and every step checks
// that the name still names the very file that was opened: nothing is
// resolved from a path string a moment later. A step works only on what it
// is given and keeps no record of its own.
#pragma once

#include <limits.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <string>

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

// Splits path into the directory that holds its last component, given as
// "dir/." so that a symbolic link ending it is followed as one in the
// middle of a path is, and that component. False when there is no last
// component to name ("dir/", ".").
bool split_path(const char *path, std::string &dir, std::string &name);

// Sets entry to name in dir; false, with errno ENAMETOOLONG, when no
// directory entry can hold name.
bool set_entry(Entry &entry, int dir, const char *name);

// Whether two statuses are of one file: its device and inode.
bool same_file(const struct stat &a, const struct stat &b);

// Whether the entry, its symbolic links followed, leads to the file open at
// fd.
bool leads_to(const Entry &entry, int fd);

// Removes the entry if it still names the file open at fd.
bool remove_entry(const Entry &entry, int fd);

// Follows the symbolic links from entry, as opening it did, to the entry
// that names the file open at fd, and makes entry that one (its directory
// a descriptor of its own, which the caller closes). False, with entry as
// it was, when none does any more.
bool locate(Entry &entry, int fd);

// An unnamed file in dir, with the mode a new file would get there; -1 where
// the file system cannot make one.
int make_unnamed(int dir);

// Gives the unnamed file open at fd the name entry. Fails, changing
// nothing, when that name has been taken meanwhile.
bool link_unnamed(int fd, const Entry &entry);

// Whether the unnamed file can take the place of the target by a rename:
// it is given everything the target has (owner, group, mode, its one link,
// no extended attributes, a name that is no mount point), or it cannot; st
// is left the target's status.
bool can_stand_in(const Entry &entry, int target, int unnamed, struct stat &st);

// Links the unnamed file under a fresh name beside the entry, made into
// temp: ".NAME.PIDTRY".
bool link_beside(const Entry &entry, int unnamed, Entry &temp);

// Renames temp over the entry, once more checking that the entry still
// names the target, whose status can_stand_in gave.
bool rename_over(const Entry &entry, const struct stat &target, const Entry &temp);

// Takes an exclusive lock on the file open at fd, waiting while another run
// holds it. False where it cannot be had: the file system has no locks.
bool lock_file(int fd);
void unlock_file(int fd);

// The length of the content; -1 when it cannot be told.
off_t content_length(const Content &content);

// Whether a file of length bytes is within the file-size limit; false, with
// errno EFBIG, when not.
bool within_size_limit(off_t length);

// Reserves every block of bytes [0, length) of target without changing its
// size. False, with errno EOPNOTSUPP, where the file system cannot.
bool reserve_blocks(int target, off_t length);

// Where blocks cannot be reserved: writes the content past old_size, then
// gives the holes below it blocks of their own with the zeros they read
// as, so that overwriting the old bytes needs no new block. On failure it
// cuts target back to old_size.
bool write_ahead(int target, const Content &content, off_t old_size, off_t length);

// Copies bytes [0, upto) of the content into target and cuts it to length.
bool overwrite(int target, const Content &content, off_t upto, off_t length);
