#include "common/output/replace.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/output/registry.h"
#include "common/output/signals.h"

// Whether the entry names the file whose status is open.
static bool names(const Entry &entry, const struct stat &open)
{
	struct stat named;
	return fstatat(entry.dir, entry.name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
	       named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}

static bool names(const Entry &entry, int fd)
{
	struct stat open;
	return fstat(fd, &open) == 0 && names(entry, open);
}

bool set_entry(Entry &entry, int dir, const char *name)
{
	if (strlen(name) > NAME_MAX) {
		errno = ENAMETOOLONG;
		return false;
	}
	entry.dir = dir;
	strcpy(entry.name, name);
	return true;
}

bool remove_entry(const Entry &entry, int fd)
{
	return names(entry, fd) && unlinkat(entry.dir, entry.name, 0) == 0;
}

static bool read_link(const Entry &entry, std::string &text)
{
	char buf[PATH_MAX];
	ssize_t n = readlinkat(entry.dir, entry.name, buf, sizeof buf);
	if (n <= 0 || size_t(n) == sizeof buf)
		return false;
	text.assign(buf, n);
	return true;
}

// The link's directory part is opened as "dir/.", so that the kernel
// follows a link at its end as it did in the middle of the link's text.
bool locate(Entry &entry, int fd)
{
	Entry at = entry;
	at.dir = fcntl(entry.dir, F_DUPFD_CLOEXEC, 3);
	for (int hops = 0; at.dir >= 0 && hops < 40; hops++) {
		if (names(at, fd)) {
			close(entry.dir);
			entry = at;
			return true;
		}
		std::string link;
		if (!read_link(at, link))
			break;
		size_t slash = link.rfind('/');
		std::string dir = slash == std::string::npos ? "." : link.substr(0, slash + 1) + ".";
		int next = openat(at.dir, dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
		close(at.dir);
		at.dir = next;
		if (!set_entry(at, next, link.c_str() + slash + 1))
			break;
	}
	if (at.dir >= 0)
		close(at.dir);
	return false;
}

bool link_unnamed(int fd, const Entry &entry)
{
	if (linkat(fd, "", entry.dir, entry.name, AT_EMPTY_PATH) == 0)
		return true;
	// Without the capability that AT_EMPTY_PATH may need, the same file is
	// reached through /proc.
	char proc[32];
	snprintf(proc, sizeof proc, "/proc/self/fd/%d", fd);
	return linkat(AT_FDCWD, proc, entry.dir, entry.name, AT_SYMLINK_FOLLOW) == 0;
}

static bool has_attributes(int fd)
{
	return flistxattr(fd, nullptr, 0) > 0;
}

// A directory that lets names be added but none removed or replaced.
static bool append_only(int dir)
{
	struct statx stx;
	const uint64_t fixed = STATX_ATTR_APPEND | STATX_ATTR_IMMUTABLE;
	return statx(dir, "", AT_EMPTY_PATH, 0, &stx) == 0 && (stx.stx_attributes & fixed);
}

// Gives the unnamed file everything the target (whose status is st) has,
// or says it cannot.
static bool can_stand_in(const Entry &entry, int target, struct stat &st, int unnamed)
{
	struct stat mine;
	if (unnamed < 0 || fstat(target, &st) != 0 || fstat(unnamed, &mine) != 0)
		return false;
	if (!names(entry, st) || st.st_nlink != 1 || st.st_uid != geteuid())
		return false;
	if (has_attributes(target) || has_attributes(unnamed) || append_only(entry.dir))
		return false;
	if (mine.st_gid != st.st_gid && fchown(unnamed, -1, st.st_gid) != 0)
		return false;
	return mine.st_mode == st.st_mode || fchmod(unnamed, st.st_mode & 07777) == 0;
}

// Links the unnamed file under a fresh name beside the target (whose status
// is st) and renames it over the target, after checking once more that the
// target's name still names it.
static bool rename_over(const Entry &entry, const struct stat &st, int unnamed)
{
	unsigned pid = unsigned(getpid());
	for (int tries = 0; tries < 16; tries++) {
		Entry temp{entry.dir, {}};
		snprintf(temp.name, sizeof temp.name, ".%.*s.%08x%x", NAME_MAX - 12, entry.name, pid, tries);
		sigset_t before = hold_signals();
		if (!link_unnamed(unnamed, temp)) {
			release_signals(before);
			if (errno == EEXIST)
				continue;
			return false;
		}
		bool renamed = names(entry, st) && renameat(entry.dir, temp.name, entry.dir, entry.name) == 0;
		if (!renamed)
			unlinkat(entry.dir, temp.name, 0);
		release_signals(before);
		return renamed;
	}
	return false;
}

// Copies bytes [from, to) of the content to the same offsets of target.
static bool copy_range(int target, const Content &content, off_t from, off_t to)
{
	char buf[1 << 16];
	while (from < to) {
		size_t want = size_t(std::min<off_t>(to - from, sizeof buf));
		const char *bytes = content.memory + from;
		if (content.fd >= 0) {
			ssize_t got = pread(content.fd, buf, want, from);
			if (got <= 0)
				return false;
			want = size_t(got);
			bytes = buf;
		}
		ssize_t put = pwrite(target, bytes, want, from);
		if (put <= 0)
			return false;
		from += put;
	}
	return true;
}

static off_t content_length(const Content &content)
{
	struct stat st;
	if (content.fd < 0)
		return off_t(content.length);
	return fstat(content.fd, &st) == 0 ? st.st_size : -1;
}

static bool within_size_limit(off_t length)
{
	struct rlimit fsize;
	if (getrlimit(RLIMIT_FSIZE, &fsize) == 0 && fsize.rlim_cur != RLIM_INFINITY &&
	    rlim_t(length) > fsize.rlim_cur) {
		errno = EFBIG;
		return false;
	}
	return true;
}

// Gives the holes in bytes [0, end) of target blocks of their own, by
// writing the zeros that they read as.
static bool fill_holes(int target, off_t end)
{
	static const char zeros[1 << 12] = {};
	off_t hole = lseek(target, 0, SEEK_HOLE);
	while (hole >= 0 && hole < end) {
		off_t data = lseek(target, hole, SEEK_DATA);
		off_t stop = data < 0 || data > end ? end : data;
		while (hole < stop) {
			ssize_t put = pwrite(target, zeros,
			                     size_t(std::min<off_t>(stop - hole, sizeof zeros)), hole);
			if (put <= 0)
				return false;
			hole += put;
		}
		hole = lseek(target, stop, SEEK_HOLE);
	}
	return true;
}

// Where the file system cannot reserve blocks, the part past the old end is
// written first, and the holes below it filled: once that has succeeded,
// overwriting the old bytes needs no new block. Until the rewrite is done,
// a signal that ends the run cuts the file back to its old size.
static bool write_ahead(Output &out, const Content &content, off_t old_size, off_t length)
{
	sigset_t before = hold_signals();
	catch_ending_signals();
	out.old_size = old_size;
	out.grown = true;
	release_signals(before);
	if (copy_range(out.target, content, old_size, length) &&
	    fill_holes(out.target, std::min(old_size, length)))
		return true;
	before = hold_signals();
	(void)ftruncate(out.target, old_size);
	out.grown = false;
	release_signals(before);
	return false;
}

// Rewrites the target in place once every block that the content will
// occupy is reserved, the holes inside its old size too.
static bool rewrite_in_place(Output &out, const Content &content)
{
	struct stat st;
	off_t length = content_length(content), overwrite = length;
	if (length < 0 || fstat(out.target, &st) != 0 || !within_size_limit(length))
		return false;
	if (length > 0 && fallocate(out.target, FALLOC_FL_KEEP_SIZE, 0, length) != 0) {
		if (errno != EOPNOTSUPP || !write_ahead(out, content, st.st_size, length))
			return false;
		overwrite = std::min(st.st_size, length);
	}
	sigset_t before = hold_signals();
	bool done = copy_range(out.target, content, 0, overwrite) && ftruncate(out.target, length) == 0;
	out.grown = false;
	release_signals(before);
	return done;
}

bool replace(Output &out, const Content &content)
{
	struct stat st;
	if (can_stand_in(out.entry, out.target, st, content.fd) && rename_over(out.entry, st, content.fd))
		return true;
	return rewrite_in_place(out, content);
}
