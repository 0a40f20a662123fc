#include "common/output/output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <list>

#include "common/output/replace.h"
#include "common/output/signals.h"

// How an output reaches its path.
enum class Way {
	stream,  // straight into an open file: a standard stream, a device, a pipe
	fresh,   // a new file: written unnamed, linked into place at the end
	direct,  // a new file written under its own name, removed on failure
	staged,  // an existing file: its new content waits beside it, then replaces it
};

struct Output {
	FILE *fp;
	Way way;
	Entry entry;    // where the file is named: its directory and name there
	int target;     // the existing file, open for writing (staged, direct)
	char *memory;   // the content, when no unnamed file could be made (staged);
	                // otherwise the stream writes to an unnamed file (fresh, staged)
	size_t length;
};

// Open outputs. A list, so that each stays where it is: a stream kept in
// memory writes its buffer's address and length into its record.
static std::list<Output> outputs;

static bool same_file(const struct stat &a, const struct stat &b)
{
	return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Descriptor 1 or 2 when path names the very file it has open for writing
// (/dev/stdout, /dev/fd/2, a path to the log that standard output appends
// to), or -1. Writing through it keeps its offset and its O_APPEND.
static int standard_stream(const char *path)
{
	struct stat named, open;
	if (stat(path, &named) != 0)
		return -1;
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
// component. False when it has no last component to create ("dir/", ".").
static bool split_path(const std::string &path, std::string &dir, std::string &name)
{
	size_t slash = path.rfind('/');
	name = slash == std::string::npos ? path : path.substr(slash + 1);
	dir = slash == std::string::npos ? "." : path.substr(0, slash ? slash : 1);
	return !name.empty() && name != "." && name != "..";
}

// An unnamed file in dir, with the mode a new file would get there.
static int make_unnamed(int dir)
{
	return openat(dir, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
}

static FILE *track(Output out, int fd)
{
	out.fp = fdopen(fd, "w");
	if (!out.fp) {
		int saved = errno;
		close(fd);
		errno = saved;
		return nullptr;
	}
	outputs.push_back(out);
	writing_begins();
	return out.fp;
}

static FILE *open_stream(int fd)
{
	return track({nullptr, Way::stream, {-1, ""}, -1, nullptr, 0}, fd);
}

// A new file: creating it under its name is the test of whether it may be
// created. It is then taken away again and the content written unnamed, so
// that no end of the run, not even SIGKILL, can leave a part of it. Where
// that cannot be done it is written under its name, and removed on failure.
static FILE *open_new(Entry entry, int created)
{
	int unnamed = make_unnamed(entry.dir);
	if (unnamed >= 0 && remove_entry(entry, created)) {
		close(created);
		return track({nullptr, Way::fresh, entry, -1, nullptr, 0}, unnamed);
	}
	if (unnamed >= 0)
		close(unnamed);
	doom(entry.dir, entry.name.c_str(), created);
	int fd = dup(created);
	return track({nullptr, Way::direct, entry, created, nullptr, 0}, fd);
}

// An existing regular file: its new content is written to an unnamed file
// beside it, or kept in memory where none can be made, and put in place by
// close_output.
static FILE *open_existing(Entry entry, int target)
{
	int unnamed = make_unnamed(entry.dir);
	Output out{nullptr, Way::staged, entry, target, nullptr, 0};
	if (unnamed >= 0)
		return track(out, unnamed);
	Output &kept = outputs.emplace_back(out);
	kept.fp = open_memstream(&kept.memory, &kept.length);
	if (!kept.fp) {
		outputs.pop_back();
		return nullptr;
	}
	writing_begins();
	return kept.fp;
}

static void release(const Output &out)
{
	if (out.target >= 0)
		close(out.target);
	if (out.entry.dir >= 0)
		close(out.entry.dir);
	free(out.memory);
}

// Opens name in dir as open(2) with O_CREAT would: the kernel's checks on
// the path decide. A new file is made with O_EXCL, so that what was made
// is known; an existing one is opened as it is, without truncation. The
// output keeps dir only when the file is named there.
static FILE *open_in(int dir, const std::string &name)
{
	Entry entry{dir, name};
	int fd = openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
	if (fd >= 0)
		return open_new(entry, fd);
	if (errno != EEXIST)
		return nullptr;

	// A symbolic link that names nothing yet is written through: the file
	// it makes is new, and is found for removal on failure.
	struct stat st;
	bool dangling = fstatat(dir, name.c_str(), &st, 0) != 0 && errno == ENOENT;
	fd = openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_NOCTTY | O_CLOEXEC, 0666);
	if (fd < 0)
		return nullptr;
	if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
		return open_stream(fd);
	if (!dangling)
		return open_existing(entry, fd);
	Entry made;
	if (!locate(entry, fd, made))
		return open_stream(fd);
	doom(made.dir, made.name.c_str(), fd);
	return track({nullptr, Way::direct, made, fd, nullptr, 0}, dup(fd));
}

FILE *open_output(const char *path)
{
	catch_signals();
	int fd = standard_stream(path);
	if (fd >= 0)
		return open_stream(fcntl(fd, F_DUPFD_CLOEXEC, 3));

	std::string dir, name;
	if (!split_path(path, dir, name)) {
		fd = open(path, O_WRONLY | O_CREAT | O_NOCTTY | O_CLOEXEC, 0666);
		return fd < 0 ? nullptr : open_stream(fd);
	}
	int dirfd = open(dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
	if (dirfd < 0)
		return nullptr;
	FILE *fp = open_in(dirfd, name);
	int saved = errno;
	if (!fp || outputs.back().entry.dir != dirfd)
		close(dirfd);
	errno = saved;
	return fp;
}

// Puts the content in place once the stream is flushed, still open.
static bool put_in_place(const Output &out)
{
	if (out.way == Way::fresh)
		return link_unnamed(fileno(out.fp), out.entry);
	if (out.way == Way::staged)
		return replace(out.entry, out.target, {out.memory ? -1 : fileno(out.fp), out.memory, out.length});
	return true;
}

bool close_output(FILE *fp)
{
	auto it = outputs.begin();
	while (it->fp != fp)
		++it;
	Output &out = *it;

	bool placed = fflush(fp) == 0 && !ferror(fp) && put_in_place(out);
	placed = fclose(fp) == 0 && placed;
	if (out.way == Way::direct) {
		if (!placed)
			remove_entry(out.entry, out.target);
		undoom(out.entry.dir, out.entry.name.c_str());
	}
	release(out);
	outputs.erase(it);
	writing_ends();
	return placed;
}
