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

#include "common/output/signals.h"

// Whether the entry names the file whose status is open.
static bool names(const Entry &entry, const struct stat &open)
{
	struct stat named;
	return fstatat(entry.dir, entry.name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
	       named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}

static bool names(const Entry &entry, int fd)
{
	struct stat open;
	return fstat(fd, &open) == 0 && names(entry, open);
}

bool remove_entry(const Entry &entry, int fd)
{
	return names(entry, fd) && unlinkat(entry.dir, entry.name.c_str(), 0) == 0;
}

static bool read_link(const Entry &entry, std::string &text)
{
	char buf[PATH_MAX];
	ssize_t n = readlinkat(entry.dir, entry.name.c_str(), buf, sizeof buf);
	if (n <= 0 || size_t(n) == sizeof buf)
		return false;
	text.assign(buf, n);
	return true;
}

bool locate(const Entry &from, int fd, Entry &found)
{
	Entry at{fcntl(from.dir, F_DUPFD_CLOEXEC, 3), from.name};
	for (int hops = 0; at.dir >= 0 && hops < 40; hops++) {
		if (names(at, fd)) {
			found = at;
			return true;
		}
		std::string link;
		if (!read_link(at, link))
			break;
		size_t slash = link.rfind('/');
		std::string dir = slash == std::string::npos ? "." : link.substr(0, slash ? slash : 1);
		int next = openat(at.dir, dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
		close(at.dir);
		at = {next, link.substr(slash + 1)};
	}
	if (at.dir >= 0)
		close(at.dir);
	return false;
}

bool link_unnamed(int fd, const Entry &entry)
{
	if (linkat(fd, "", entry.dir, entry.name.c_str(), AT_EMPTY_PATH) == 0)
		return true;
	// Without the capability that AT_EMPTY_PATH may need, the same file is
	// reached through /proc.
	char proc[32];
	snprintf(proc, sizeof proc, "/proc/self/fd/%d", fd);
	return linkat(AT_FDCWD, proc, entry.dir, entry.name.c_str(), AT_SYMLINK_FOLLOW) == 0;
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

// Gives the unnamed file everything the target has, or says it cannot.
static bool can_stand_in(const Entry &entry, int target, int unnamed)
{
	struct stat st, mine;
	if (unnamed < 0 || fstat(target, &st) != 0 || fstat(unnamed, &mine) != 0)
		return false;
	if (!names(entry, st) || st.st_nlink != 1 || st.st_uid != geteuid())
		return false;
	if (has_attributes(target) || has_attributes(unnamed) || append_only(entry.dir))
		return false;
	if (mine.st_gid != st.st_gid && fchown(unnamed, -1, st.st_gid) != 0)
		return false;
	return fchmod(unnamed, st.st_mode & 07777) == 0;
}

// Links the unnamed file under a fresh name beside the target and renames
// it over the target, after checking once more that the target's name
// still names it.
static bool rename_over(const Entry &entry, int target, int unnamed)
{
	std::string base = entry.name.substr(0, NAME_MAX - 12);
	unsigned pid = unsigned(getpid());
	for (int tries = 0; tries < 16; tries++) {
		char suffix[12];
		snprintf(suffix, sizeof suffix, ".%08x%x", pid, tries);
		Entry temp{entry.dir, "." + base + suffix};
		hold_signals();
		if (!link_unnamed(unnamed, temp)) {
			release_signals();
			if (errno == EEXIST)
				continue;
			return false;
		}
		bool renamed = names(entry, target) &&
		               renameat(entry.dir, temp.name.c_str(), entry.dir, entry.name.c_str()) == 0;
		if (!renamed)
			unlinkat(entry.dir, temp.name.c_str(), 0);
		release_signals();
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

// Reserves the space that the content needs beyond the target's end, so
// that overwriting cannot run out of it. Where the file system cannot
// reserve, the part past the old end is written first (and cut off again
// on failure): the old bytes are touched only once that has succeeded.
static bool make_room(int target, const Content &content, off_t length, off_t &overwrite)
{
	struct stat st;
	struct rlimit fsize;
	if (fstat(target, &st) != 0)
		return false;
	if (getrlimit(RLIMIT_FSIZE, &fsize) == 0 && fsize.rlim_cur != RLIM_INFINITY &&
	    rlim_t(length) > fsize.rlim_cur) {
		errno = EFBIG;
		return false;
	}
	overwrite = length;
	if (length <= st.st_size || fallocate(target, FALLOC_FL_KEEP_SIZE, 0, length) == 0)
		return true;
	if (errno != EOPNOTSUPP)
		return false;
	overwrite = st.st_size;
	if (copy_range(target, content, st.st_size, length))
		return true;
	(void)ftruncate(target, st.st_size);
	return false;
}

static bool rewrite_in_place(int target, const Content &content)
{
	off_t length = content_length(content), overwrite;
	if (length < 0 || !make_room(target, content, length, overwrite))
		return false;
	hold_signals();
	bool done = copy_range(target, content, 0, overwrite) && ftruncate(target, length) == 0;
	release_signals();
	return done;
}

bool replace(const Entry &entry, int target, Content content)
{
	if (can_stand_in(entry, target, content.fd) && rename_over(entry, target, content.fd))
		return true;
	return rewrite_in_place(target, content);
}
