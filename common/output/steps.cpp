#include "common/output/steps.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

bool same_file(const struct stat &a, const struct stat &b)
{
	return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether the entry names the file whose status is open.
static bool entry_is(const Entry &entry, const struct stat &open)
{
	struct stat named;
	return fstatat(entry.dir, entry.name, &named, AT_SYMLINK_NOFOLLOW) == 0 && same_file(named, open);
}

// Whether the entry names the file open at fd.
static bool entry_is(const Entry &entry, int fd)
{
	struct stat open;
	return fstat(fd, &open) == 0 && entry_is(entry, open);
}

bool leads_to(const Entry &entry, int fd)
{
	struct stat named, open;
	return fstatat(entry.dir, entry.name, &named, 0) == 0 && fstat(fd, &open) == 0 &&
	       same_file(named, open);
}

bool split_path(const char *path, std::string &dir, std::string &name)
{
	const char *slash = strrchr(path, '/');
	name = slash ? slash + 1 : path;
	dir = slash ? std::string(path, slash + 1) + "." : ".";
	return !name.empty() && name != "." && name != "..";
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
	return entry_is(entry, fd) && unlinkat(entry.dir, entry.name, 0) == 0;
}

static bool read_link(const Entry &entry, std::string &text)
{
	text.resize(PATH_MAX);
	ssize_t n = readlinkat(entry.dir, entry.name, text.data(), text.size());
	if (n <= 0 || size_t(n) == text.size())
		return false;
	text.resize(size_t(n));
	return true;
}

bool locate(Entry &entry, int fd)
{
	Entry at = entry;
	at.dir = fcntl(entry.dir, F_DUPFD_CLOEXEC, 3);
	std::string link;
	for (int hops = 0; at.dir >= 0 && hops < 40; hops++) {
		if (entry_is(at, fd)) {
			entry = at;
			return true;
		}
		if (!read_link(at, link))
			break;
		std::string dir, name;
		split_path(link.c_str(), dir, name);
		int next = openat(at.dir, dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
		close(at.dir);
		at.dir = next;
		if (!set_entry(at, next, name.c_str()))
			break;
	}
	if (at.dir >= 0)
		close(at.dir);
	return false;
}

int make_unnamed(int dir)
{
	return openat(dir, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
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

// Whether the entry names the file whose status is open, and no file is
// mounted on it (a bind mount, which no rename replaces): one statx for both.
static bool names_unmounted(const Entry &entry, const struct stat &open)
{
	struct statx stx;
	struct stat named = {};
	if (statx(entry.dir, entry.name, AT_SYMLINK_NOFOLLOW, STATX_INO, &stx) != 0)
		return false;
	named.st_dev = makedev(stx.stx_dev_major, stx.stx_dev_minor);
	named.st_ino = stx.stx_ino;
	return same_file(named, open) && !(stx.stx_attributes & STATX_ATTR_MOUNT_ROOT);
}

bool can_stand_in(const Entry &entry, int target, int unnamed, struct stat &st)
{
	struct stat mine;
	if (unnamed < 0 || fstat(target, &st) != 0 || fstat(unnamed, &mine) != 0)
		return false;
	if (!names_unmounted(entry, st) || st.st_nlink != 1 || st.st_uid != geteuid())
		return false;
	if (has_attributes(target) || has_attributes(unnamed) || append_only(entry.dir))
		return false;
	if (mine.st_gid != st.st_gid && fchown(unnamed, -1, st.st_gid) != 0)
		return false;
	return mine.st_mode == st.st_mode || fchmod(unnamed, st.st_mode & 07777) == 0;
}

bool link_beside(const Entry &entry, int unnamed, Entry &temp)
{
	unsigned pid = unsigned(getpid());
	temp.dir = entry.dir;
	for (int tries = 0; tries < 16; tries++) {
		snprintf(temp.name, sizeof temp.name, ".%.*s.%08x%x", NAME_MAX - 12, entry.name, pid, tries);
		if (link_unnamed(unnamed, temp))
			return true;
		if (errno != EEXIST)
			return false;
	}
	return false;
}

bool rename_over(const Entry &entry, const struct stat &target, const Entry &temp)
{
	return entry_is(entry, target) && renameat(temp.dir, temp.name, entry.dir, entry.name) == 0;
}

bool lock_file(int fd)
{
	int locked;
	while ((locked = flock(fd, LOCK_EX)) != 0 && errno == EINTR)
		continue;
	return locked == 0;
}

void unlock_file(int fd)
{
	flock(fd, LOCK_UN);
}

off_t content_length(const Content &content)
{
	struct stat st;
	if (content.fd < 0)
		return off_t(content.length);
	return fstat(content.fd, &st) == 0 ? st.st_size : -1;
}

bool within_size_limit(off_t length)
{
	struct rlimit fsize;
	if (getrlimit(RLIMIT_FSIZE, &fsize) == 0 && fsize.rlim_cur != RLIM_INFINITY &&
	    rlim_t(length) > fsize.rlim_cur) {
		errno = EFBIG;
		return false;
	}
	return true;
}

bool reserve_blocks(int target, off_t length)
{
	return length == 0 || fallocate(target, FALLOC_FL_KEEP_SIZE, 0, length) == 0;
}

// Copies bytes [from, to) of the content to the same offsets of target. The
// buffer is no stack's: a run may have a small one.
static bool copy_range(int target, const Content &content, off_t from, off_t to)
{
	static char buf[1 << 16];
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

bool write_ahead(int target, const Content &content, off_t old_size, off_t length)
{
	if (copy_range(target, content, old_size, length) && fill_holes(target, std::min(old_size, length)))
		return true;
	int saved = errno;
	(void)ftruncate(target, old_size);
	errno = saved;
	return false;
}

bool overwrite(int target, const Content &content, off_t upto, off_t length)
{
	return copy_range(target, content, 0, upto) && ftruncate(target, length) == 0;
}
