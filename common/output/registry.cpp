#include "common/output/registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/output/signals.h"

// A program writes one file at a time; a few more cost nothing.
static Output table[8];

Output *add_output()
{
	for (Output &out : table) {
		if (out.used)
			continue;
		out.fp = nullptr;
		out.way = Way::stream;
		out.entry.dir = -1;
		out.entry.name[0] = '\0';
		out.target = -1;
		out.memory.reset();
		out.doomed = out.grown = false;
		out.used = 1;
		return &out;
	}
	errno = EMFILE;
	return nullptr;
}

Output *find_output(FILE *fp)
{
	for (Output &out : table)
		if (out.used && out.fp == fp)
			return &out;
	return nullptr;
}

void drop_output(Output *out)
{
	if (out->target >= 0)
		close(out->target);
	if (out->entry.dir >= 0)
		close(out->entry.dir);
	out->memory.reset();
	out->used = 0;
}

int open_outputs()
{
	int n = 0;
	for (const Output &out : table)
		n += out.used ? 1 : 0;
	return n;
}

void doom(Output &out, int fd)
{
	struct stat st;
	catch_ending_signals();
	if (fstat(fd, &st) != 0)
		return;
	out.dev = st.st_dev;
	out.ino = st.st_ino;
	out.doomed = true;
}

void undoom(Output &out)
{
	sigset_t before = hold_signals();
	out.doomed = false;
	release_signals(before);
}

void undo_outputs()
{
	for (Output &out : table) {
		if (!out.used)
			continue;
		struct stat st;
		if (out.doomed && fstatat(out.entry.dir, out.entry.name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
		    st.st_dev == out.dev && st.st_ino == out.ino)
			unlinkat(out.entry.dir, out.entry.name, 0);
		if (out.grown)
			(void)ftruncate(out.target, out.old_size);
	}
}
