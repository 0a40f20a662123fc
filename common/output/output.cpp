#include "common/output/output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <string>
#include <tuple>

#include "common/output/ending.h"
#include "common/output/record.h"
#include "common/output/staging.h"
#include "common/output/steps.h"

// How every path is opened for writing: as open(2) with O_CREAT opens it.
static const int open_flags = O_WRONLY | O_CREAT | O_NOCTTY | O_CLOEXEC;

// Opens a name found to exist as open_flags would, the kernel's checks on
// the path deciding, but never waiting for a FIFO's reader: -1 with ENXIO.
static int open_existing_name(const Entry &entry)
{
	return openat(entry.dir, entry.name, open_flags | O_NONBLOCK, 0666);
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

// Moves out to state, with the descriptors it now holds.
static void become(Output &out, State state, int target, int content)
{
	out.state = state;
	out.target = target;
	out.content = content;
}

// A stream that owns fd.
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

// A stream that writes the content of out to fd, which the record keeps, or
// to memory (-1): counted against the memory budget where it takes memory.
static FILE *content_stream(Output &out, int fd)
{
	Staging *staging = new (std::nothrow) Staging;
	if (!staging) {
		errno = ENOMEM;
		return nullptr;
	}
	staging->fd = fd;
	staging->counted = fd < 0 || in_memory(fd);
	out.staging = staging;
	return open_staging(*staging);
}

// A file just made under out's entry, signals held since (making it tested
// whether it may be made), is unnamed again and the content written to an
// unnamed file, linked at the end: no end of the run leaves a part of it.
// Else it is written under its name, removed unless placed. Returns the
// descriptor to write to.
static int unname_new(Output &out, int made)
{
	int unnamed = make_unnamed(out.entry.dir);
	if (unnamed >= 0 && remove_entry(out.entry, made)) {
		close(made);
		become(out, State::fresh, -1, unnamed);
		return unnamed;
	}
	if (unnamed >= 0)
		close(unnamed);
	become(out, State::direct, made, -1);
	remove_unless_placed(out, out.entry, made);
	return made;
}

// Whether the empty regular file open at fd was made by following a
// symbolic link from out's entry; the entry is then made the one that
// names it.
static bool made_through_link(Output &out, int fd)
{
	struct stat st;
	Entry entry = out.entry;
	if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size != 0 || !locate(entry, fd))
		return false;
	if (entry.dir != out.entry.dir)
		close(out.entry.dir);
	out.entry = entry;
	return true;
}

// An existing regular file, open at target: its new content is written to
// an unnamed file beside it, or kept in memory where none can be made.
static FILE *open_staged(Output &out, int target)
{
	int unnamed = make_unnamed(out.entry.dir);
	become(out, State::staged, target, unnamed);
	return content_stream(out, unnamed);
}

// What a name that exists led to, open at fd (or -1, with errno, when that
// failed): a regular file to replace, or anything else, written as it is
// (a device, a pipe, a file made through a link that no longer leads to
// it, absent being true when the path named nothing before).
static FILE *open_existing(Output &out, int fd, bool absent)
{
	if (fd < 0 && (errno == ENXIO || errno == EWOULDBLOCK))  // a FIFO with no reader yet
		fd = openat(out.entry.dir, out.entry.name, open_flags, 0666);
	struct stat st;
	if (fd >= 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && !(absent && st.st_size == 0))
		return open_staged(out, fd);
	if (fd >= 0)
		fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
	become(out, State::stream, -1, -1);
	return stream_on(fd);
}

// Opens out's entry as open(2) with O_CREAT would: the kernel's checks on
// the path decide. Where the name is free, only an unnamed file is made in
// its directory. Otherwise, or where none can be made, a file is made with
// O_EXCL, so that what was made is known; a name that exists is opened
// again without it, not waiting for a FIFO's reader (when the path named
// nothing just before (absent), that open made a file through a symbolic
// link: a new one too). Signals are held until a new file is settled.
static FILE *open_in(Output &out, bool absent)
{
	struct stat st;
	if (absent && fstatat(out.entry.dir, out.entry.name, &st, AT_SYMLINK_NOFOLLOW) != 0 &&
	    errno == ENOENT) {
		int unnamed = make_unnamed(out.entry.dir);
		if (unnamed >= 0) {
			become(out, State::fresh, -1, unnamed);
			return content_stream(out, unnamed);
		}
	}
	sigset_t before = hold_signals();
	int fd = openat(out.entry.dir, out.entry.name, open_flags | O_EXCL, 0666);
	bool exists = fd < 0 && errno == EEXIST;
	if (exists)
		fd = open_existing_name(out.entry);
	bool made = fd >= 0 && (!exists || (absent && made_through_link(out, fd)));
	int content = made ? unname_new(out, fd) : -1;
	int saved = errno;
	release_signals(before);
	errno = saved;
	if (made)
		return content_stream(out, content);
	if (!exists)
		return nullptr;
	return open_existing(out, fd, absent);
}

static FILE *open_path(Output &out, const char *path)
{
	struct stat named;
	bool found = stat(path, &named) == 0, absent = !found && errno == ENOENT;
	int fd = found ? standard_stream(named) : -1;
	if (fd >= 0) {
		become(out, State::stream, -1, -1);
		return stream_on(fcntl(fd, F_DUPFD_CLOEXEC, 3));
	}

	std::string dir, name;
	if (!split_path(path, dir, name)) {
		become(out, State::stream, -1, -1);
		return stream_on(open(path, open_flags, 0666));
	}
	int dirfd = open(dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
	Entry entry;
	if (dirfd < 0)
		return nullptr;
	if (!set_entry(entry, dirfd, name.c_str())) {
		close(dirfd);
		return nullptr;
	}
	out.entry = entry;
	return open_in(out, absent);
}

FILE *open_output(const char *path, OutputSet *set)
{
	if (set && set->count == max_outputs) {
		errno = EMFILE;
		return nullptr;
	}
	Output *out = new_output();
	if (!out)
		return nullptr;
	hold_broken_pipe();
	FILE *fp = open_path(*out, path);
	if (!fp) {
		int saved = errno;
		end_output(out);
		release_broken_pipe();
		errno = saved;
		return nullptr;
	}
	out->fp = fp;
	out->set = set;
	if (set)
		set->members[set->count++] = out;
	return fp;
}

// Closes out's stream: the content is whole, or the fault says why not.
static Fault finish_writing(Output &out)
{
	bool written = !ferror(out.fp);
	written = fclose(out.fp) == 0 && written;
	out.fp = nullptr;
	if (out.staging && out.staging->refused)
		return Fault::memory;
	if (!written)
		return Fault::write;
	out.written = true;
	return Fault::none;
}

static Content content_of(const Output &out)
{
	if (out.content >= 0)
		return {out.content, nullptr, 0};
	return {-1, out.staging->buf.data, out.staging->length};
}

// Prepares the rewrite in place of the target, locked: reserves every
// block that the content will occupy (the holes inside its old size too),
// or, where none can be reserved, writes the part past the old end first,
// cut back if the run ends before the rewrite is done.
static Fault prepare_rewrite(Output &out)
{
	Content content = content_of(out);
	struct stat st;
	off_t length = content_length(content);
	if (length < 0 || fstat(out.target, &st) != 0 || !within_size_limit(length))
		return Fault::write;
	if (length > st.st_size && in_memory(out.target) && !budget_take_file(size_t(length - st.st_size)))
		return Fault::memory;
	off_t upto = length;
	if (!reserve_blocks(out.target, length)) {
		if (errno != EOPNOTSUPP)
			return Fault::write;
		cut_back_unless_placed(out, st.st_size);
		if (!write_ahead(out.target, content, st.st_size, length)) {
			nothing_to_undo(out);
			return Fault::write;
		}
		upto = std::min(st.st_size, length);
	}
	out.state = State::rewriting;
	out.upto = upto;
	return Fault::none;
}

// A rewrite in place that was to be a rename: its lock was taken, unless
// the file system has none, and then the rewrite is a write error; it is
// never waited for here.
static Fault rewrite_instead(Output &out)
{
	return lock_file(out.target) ? prepare_rewrite(out) : Fault::write;
}

// Whether the entries name the same name in the same directory.
static bool same_entry(const Entry &a, const Entry &b)
{
	struct stat x, y;
	return strcmp(a.name, b.name) == 0 && fstat(a.dir, &x) == 0 && fstat(b.dir, &y) == 0 &&
	       same_file(x, y);
}

// Whether outputs a and b would put their content at the same place: one
// new name (reached through a link, say) or one existing file.
static bool same_destination(const Output &a, const Output &b)
{
	struct stat x, y;
	if (a.state == State::stream || b.state == State::stream)
		return false;
	if (same_entry(a.entry, b.entry))
		return true;
	return a.target >= 0 && b.target >= 0 && fstat(a.target, &x) == 0 && fstat(b.target, &y) == 0 &&
	       same_file(x, y);
}

// Locks the files of members [lo, hi) to be replaced in one order for every
// run (device, then inode): runs whose sets share files never wait for each
// other crosswise. A rewrite in place needs its lock, and where none can be
// taken (a file system without locks) fails; a rename needs none.
static Fault lock_targets(Output *const members[], int lo, int hi, int *failed)
{
	std::tuple<dev_t, ino_t, int> keys[max_outputs];
	int m = 0;
	for (int i = lo; i < hi; i++) {
		struct stat st = {};
		if (members[i]->state != State::renaming && members[i]->state != State::rewriting)
			continue;
		if (hi - lo > 1 && fstat(members[i]->target, &st) != 0) {
			*failed = i;
			return Fault::write;
		}
		std::tuple<dev_t, ino_t, int> key{st.st_dev, st.st_ino, i};
		int k = m++;
		for (; k > 0 && keys[k - 1] > key; k--)
			keys[k] = keys[k - 1];
		keys[k] = key;
	}
	for (int k = 0; k < m; k++) {
		*failed = std::get<2>(keys[k]);
		Output &out = *members[*failed];
		if (!lock_file(out.target) && out.state == State::rewriting)
			return Fault::write;
	}
	return Fault::none;
}

// Chooses how members [lo, hi) are placed and does all of it that may wait
// or fail for want of room, before signals are held: the locks are taken
// and the rewrites in place readied.
static Fault plan(Output *const members[], int lo, int hi, int *failed)
{
	for (int i = lo; i < hi; i++) {
		*failed = i;
		Output &out = *members[i];
		if (!out.written)
			return Fault::write;
		for (int j = 0; j < i; j++)
			if (same_destination(*members[j], out))
				return Fault::write;
		if (out.state == State::staged)
			out.state = can_stand_in(out.entry, out.target, out.content, out.chosen)
			                    ? State::renaming
			                    : State::rewriting;
	}
	if (Fault fault = lock_targets(members, lo, hi, failed); fault != Fault::none)
		return fault;
	for (int i = lo; i < hi; i++) {
		*failed = i;
		if (members[i]->state != State::rewriting)
			continue;
		if (Fault fault = prepare_rewrite(*members[i]); fault != Fault::none)
			return fault;
	}
	return Fault::none;
}

// Links the content of every member [lo, hi) to be renamed over its file
// under a name beside it, with signals held until the renames, so that
// only a SIGKILL can leave such a name behind; a member whose name cannot
// be linked is rewritten in place instead.
static Fault link_temporaries(Output *const members[], int lo, int hi, int *failed)
{
	for (int i = lo; i < hi; i++) {
		*failed = i;
		Output &out = *members[i];
		Entry temp;
		if (out.state != State::renaming)
			continue;
		if (link_beside(out.entry, out.content, temp)) {
			remove_unless_placed(out, temp, out.content, true);
			continue;
		}
		if (Fault fault = rewrite_instead(out); fault != Fault::none)
			return fault;
	}
	return Fault::none;
}

// How putting an output in place went: placed, failed, or its name leads
// elsewhere now, and it is to be planned again against what it leads to.
enum class Put { placed, failed, replan };

// The name leads elsewhere than when the output was opened: another run or
// a user put a file there meanwhile. That is opened as a name that exists
// is at the start, never waiting for a FIFO's reader, and a regular file
// planned again; anything else (a FIFO, a device) is a write error: signals
// are held, and nothing but a regular file is written now.
static Put retarget(Output &out)
{
	int target = open_existing_name(out.entry);
	struct stat st;
	if (target < 0)
		return Put::failed;
	if (out.target >= 0)
		close(out.target);
	become(out, State::staged, target, out.content);
	return fstat(target, &st) == 0 && S_ISREG(st.st_mode) ? Put::replan : Put::failed;
}

// Puts one planned output in place. Called with signals held.
static Put put_in_place(Output &out)
{
	switch (out.state) {
	case State::stream:
	case State::placed:
		return Put::placed;
	case State::direct:
		nothing_to_undo(out);
		return Put::placed;
	case State::fresh:
		if (link_unnamed(out.content, out.entry))
			return Put::placed;
		return errno == EEXIST ? retarget(out) : Put::failed;
	case State::renaming:
		if (rename_over(out.entry, out.chosen, out.temp)) {
			nothing_to_undo(out);
			return Put::placed;
		}
		undo_output(out);
		if (!leads_to(out.entry, out.target))
			return retarget(out);
		// A mount point, which no rename replaces: rewritten in place.
		if (rewrite_instead(out) != Fault::none)
			return Put::failed;
		break;
	case State::rewriting:
		break;
	case State::made:
	case State::staged:
		return Put::failed;
	}
	Content content = content_of(out);
	bool done = overwrite(out.target, content, out.upto, content_length(content));
	nothing_to_undo(out);
	if (!done)
		return Put::failed;
	// A file that lost its name while it was rewritten holds bytes that
	// no one will read: the output is placed again under the name.
	return leads_to(out.entry, out.target) ? Put::placed : retarget(out);
}

// Gives back what plan took for an output not yet placed (its lock, the
// blocks written ahead of its rewrite, its name beside the file), so that
// it is planned again; one placed gives back its lock, needed no more. So
// a run that plans again waits for a lock holding none.
static void unplan(Output &out)
{
	if (out.state == State::renaming || out.state == State::rewriting) {
		undo_output(out);
		out.state = State::staged;
	}
	if (out.target >= 0)
		unlock_file(out.target);
}

// Puts the written members in place together and ends them, those not
// placed undone, signals held from the first name linked beside a file. A
// member whose name leads elsewhere then is planned again with those after
// it, signals free. A broken pipe meanwhile ends the run once all are ended.
static Fault place(Output *const members[], int n, int *failed)
{
	Fault fault = Fault::none;
	Put put = Put::replan;
	sigset_t before;
	for (int i = 0; put == Put::replan;) {
		fault = plan(members, i, n, failed);
		before = hold_signals();
		if (fault == Fault::none)
			fault = link_temporaries(members, i, n, failed);
		put = Put::placed;
		while (fault == Fault::none && i < n && (put = put_in_place(*members[i])) == Put::placed)
			members[i++]->state = State::placed;
		if (put == Put::failed) {
			*failed = i;
			fault = Fault::write;
		}
		for (int j = 0; put == Put::replan && j < n; j++)
			unplan(*members[j]);
		if (put == Put::replan)
			release_signals(before);
	}
	for (int i = 0; i < n; i++)
		end_output(members[i]);
	release_signals(before);
	for (int i = 0; i < n; i++)
		release_broken_pipe();
	return fault;
}

Fault close_output(FILE *fp)
{
	Output *out = find_output(fp);
	if (!out) {
		fclose(fp);
		return Fault::write;
	}
	Fault fault = finish_writing(*out);
	if (fault == Fault::none && out->set)
		return Fault::none;
	if (fault == Fault::none) {
		int failed;
		return place(&out, 1, &failed);
	}
	if (OutputSet *set = out->set)
		std::replace(set->members, set->members + set->count, out, static_cast<Output *>(nullptr));
	end_output(out);
	release_broken_pipe();
	return fault;
}

// A member that failed as it was closed ends the set: the others are
// ended too, unplaced.
Fault place_outputs(OutputSet &set, int *failed)
{
	Output **end = set.members + set.count, **gone = std::find(set.members, end, nullptr);
	set.count = 0;
	*failed = int(gone - set.members);
	if (gone == end)
		return place(set.members, int(end - set.members), failed);
	for (Output **out = set.members; out != end; out++) {
		if (!*out)
			continue;
		end_output(*out);
		release_broken_pipe();
	}
	return Fault::write;
}
