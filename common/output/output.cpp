#include "common/output/output.h"

#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <string>

#include "common/output/registry.h"
#include "common/output/replace.h"
#include "common/output/signals.h"
#include "common/output/staging.h"

static bool same_file(const struct stat &a, const struct stat &b)
{
	return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Descriptor 1 or 2 when the file that a path names (named) is the very
// file it has open for writing (/dev/stdout, /dev/fd/2, a path to the log
// that standard output appends to), or -1. Writing through it keeps its
// offset and its O_APPEND.
static int standard_stream(const struct stat &named)
{
	struct stat open;
	for (int fd = 1; fd <= 2; fd++) {
		if (fstat(fd, &open) != 0 || !same_file(named, open))
			continue;
		int mode = fcntl(fd, F_GETFL);
		if (mode != -1 && (mode & O_ACCMODE) != O_RDONLY)
			return fd;
	}
	return -1;
}

// Splits path into the directory that holds its last component and that
// component. The directory is given as "dir/.", so that a symbolic link
// ending it is followed as the kernel follows one in the middle of a path.
// False when path has no last component to create ("dir/", ".").
static bool split_path(const char *path, std::string &dir, std::string &name)
{
	const char *slash = strrchr(path, '/');
	name = slash ? slash + 1 : path;
	dir = slash ? std::string(path, slash + 1) + "." : ".";
	return !name.empty() && name != "." && name != "..";
}

static FILE *stream_on(int fd)
{
	if (fd < 0)
		return nullptr;
	FILE *fp = fdopen(fd, "w");
	if (!fp) {
		int saved = errno;
		close(fd);
		errno = saved;
	}
	return fp;
}

// An unnamed file in dir, with the mode a new file would get there.
static int make_unnamed(int dir)
{
	return openat(dir, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
}

// A file that the writer has just made under out's entry, with signals held
// since before it was made: making it was the test of whether it may be
// made. It is taken away again and the content written unnamed, to be
// linked into place at the end, so that no end of the run leaves a part of
// it. Where that cannot be done it is written under its name, and removed
// on failure or on a signal. Returns the descriptor to write to.
static int settle_new(Output &out, int made)
{
	int unnamed = make_unnamed(out.entry.dir);
	if (unnamed >= 0 && remove_entry(out.entry, made)) {
		close(made);
		out.way = Way::fresh;
		return unnamed;
	}
	if (unnamed >= 0)
		close(unnamed);
	out.way = Way::direct;
	out.target = made;
	doom(out, made);
	return fcntl(made, F_DUPFD_CLOEXEC, 3);
}

// Whether the empty regular file open at fd was made by following a
// symbolic link from entry; entry is then made the one that names it.
static bool made_through_link(Entry &entry, int fd)
{
	struct stat st;
	return fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0 && locate(entry, fd);
}

// An existing regular file, open at target: its new content is written to
// an unnamed file beside it, or kept in memory where none can be made, and
// put in place by close_output.
static FILE *open_staged(Output &out, int target)
{
	out.way = Way::staged;
	out.target = target;
	int unnamed = make_unnamed(out.entry.dir);
	if (unnamed >= 0)
		return stream_on(unnamed);
	out.memory.reset(new (std::nothrow) Staging);
	if (!out.memory) {
		errno = ENOMEM;
		return nullptr;
	}
	return open_staging(*out.memory);
}

// What a name that exists led to, open at fd (or -1, with errno, when that
// failed): a regular file to replace, or anything else, written as it is
// (a device, a pipe, a file made through a link that no longer leads to
// it, absent being true when the path named nothing before).
static FILE *open_existing(Output &out, int fd, bool absent)
{
	if (fd < 0 && (errno == ENXIO || errno == EWOULDBLOCK))  // a FIFO with no reader yet
		fd = openat(out.entry.dir, out.entry.name, O_WRONLY | O_CREAT | O_NOCTTY | O_CLOEXEC, 0666);
	struct stat st;
	if (fd >= 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && !(absent && st.st_size == 0))
		return open_staged(out, fd);
	if (fd >= 0)
		fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
	return stream_on(fd);
}

// Opens out's entry as open(2) with O_CREAT would: the kernel's checks on
// the path decide. A new file is made with O_EXCL, so that what was made is
// known. A name that exists is opened again without it, and without
// waiting for a FIFO's reader; when the path named nothing just before
// (absent), that open went through a symbolic link and made its file,
// which is new as well. Signals are held until a new file is settled, so
// that none can leave it behind empty.
static FILE *open_in(Output &out, bool absent)
{
	const int flags = O_WRONLY | O_CREAT | O_NOCTTY | O_CLOEXEC;
	sigset_t before = hold_signals();
	int fd = openat(out.entry.dir, out.entry.name, flags | O_EXCL, 0666);
	bool exists = fd < 0 && errno == EEXIST;
	if (exists)
		fd = openat(out.entry.dir, out.entry.name, flags | O_NONBLOCK, 0666);
	bool made = fd >= 0 && (!exists || (absent && made_through_link(out.entry, fd)));
	int unnamed = made ? settle_new(out, fd) : -1;
	int saved = errno;
	release_signals(before);
	errno = saved;
	if (made)
		return stream_on(unnamed);
	if (!exists)
		return nullptr;
	return open_existing(out, fd, absent);
}

static FILE *open_path(Output &out, const char *path)
{
	struct stat named;
	bool found = stat(path, &named) == 0, absent = !found && errno == ENOENT;
	int fd = found ? standard_stream(named) : -1;
	if (fd >= 0)
		return stream_on(fcntl(fd, F_DUPFD_CLOEXEC, 3));

	std::string dir, name;
	if (!split_path(path, dir, name))
		return stream_on(open(path, O_WRONLY | O_CREAT | O_NOCTTY | O_CLOEXEC, 0666));
	if (name.size() > NAME_MAX) {
		errno = ENAMETOOLONG;
		return nullptr;
	}
	int dirfd = open(dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
	if (dirfd < 0)
		return nullptr;
	set_entry(out.entry, dirfd, name.c_str());
	return open_in(out, absent);
}

// Ends out's record. A file written under its own name is removed unless
// it was put in place.
static void finish(Output *out, bool placed)
{
	if (out->way == Way::direct) {
		if (!placed)
			remove_entry(out->entry, out->target);
		undoom(*out);
	}
	drop_output(out);
}

FILE *open_output(const char *path)
{
	catch_signals();
	Output *out = add_output();
	if (!out)
		return nullptr;
	out->fp = open_path(*out, path);
	if (!out->fp) {
		int saved = errno;
		finish(out, false);
		errno = saved;
	}
	return out->fp;
}

// Writes the unnamed file's content into fd from where it stands.
static bool copy_into(int fd, int unnamed)
{
	off_t from = 0;
	struct stat st;
	if (fstat(unnamed, &st) != 0)
		return false;
	while (from < st.st_size)
		if (sendfile(fd, unnamed, &from, size_t(st.st_size - from)) <= 0)
			return false;
	return true;
}

// Links the new file under its name. When another run writing the same
// file took the name meanwhile, what it put there is an existing output
// found now: opened as open(2) with O_CREAT opens it, so that the kernel's
// checks still apply, then replaced.
static bool link_fresh(Output &out, int unnamed)
{
	if (link_unnamed(unnamed, out.entry))
		return true;
	if (errno != EEXIST)
		return false;
	out.target = openat(out.entry.dir, out.entry.name, O_WRONLY | O_CREAT | O_NOCTTY | O_CLOEXEC, 0666);
	struct stat st;
	if (out.target < 0 || fstat(out.target, &st) != 0)
		return false;
	if (!S_ISREG(st.st_mode))
		return copy_into(out.target, unnamed);
	return replace(out, {unnamed, nullptr, 0});
}

// Puts the content in place once the stream is flushed, still open.
static bool put_in_place(Output &out)
{
	if (out.way == Way::fresh)
		return link_fresh(out, fileno(out.fp));
	if (out.way != Way::staged)
		return true;
	if (out.memory)
		return replace(out, {-1, out.memory->buf.data, out.memory->length});
	return replace(out, {fileno(out.fp), nullptr, 0});
}

bool close_output(FILE *fp)
{
	Output *out = find_output(fp);
	if (!out) {
		fclose(fp);
		errno = EBADF;
		return false;
	}
	bool placed = fflush(fp) == 0 && !ferror(fp) && put_in_place(*out);
	placed = fclose(fp) == 0 && placed;
	finish(out, placed);
	end_if_pipe_broke();
	return placed;
}
