#include "common/output/record.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <initializer_list>

#include "common/output/ending.h"

// A program writes a few files at a time.
static Output table[8];

// The undo step of an output: safe in a signal handler.
static void undo(void *arg)
{
	Output &out = *static_cast<Output *>(arg);
	struct stat st;
	if (out.doomed && fstatat(out.doom.dir, out.doom.name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
	    st.st_dev == out.dev && st.st_ino == out.ino)
		unlinkat(out.doom.dir, out.doom.name, 0);
	if (out.grown)
		(void)ftruncate(out.target, out.old_size);
	out.doomed = out.grown = false;
}

// The output's undo step, registered once it has something to undo.
static void arm(Output &out)
{
	if (out.undo < 0)
		out.undo = add_undo(undo, &out);
}

Output *new_output()
{
	for (Output &out : table) {
		if (out.used)
			continue;
		sigset_t before = hold_signals();
		out = Output{};
		out.way = Way::made;
		out.entry.dir = out.target = out.content = out.undo = -1;
		out.used = true;
		release_signals(before);
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

void record_entry(Output &out, const Entry &entry)
{
	sigset_t before = hold_signals();
	if (out.entry.dir >= 0 && out.entry.dir != entry.dir)
		close(out.entry.dir);
	out.entry = entry;
	release_signals(before);
}

void record_way(Output &out, Way way, int target, int content)
{
	sigset_t before = hold_signals();
	out.way = way;
	out.target = target;
	out.content = content;
	release_signals(before);
}

void record_staging(Output &out, Staging *staging)
{
	sigset_t before = hold_signals();
	out.staging = staging;
	release_signals(before);
}

void record_stream(Output &out, FILE *fp, OutputSet *set)
{
	sigset_t before = hold_signals();
	out.fp = fp;
	out.set = set;
	release_signals(before);
}

void record_written(Output &out)
{
	sigset_t before = hold_signals();
	out.written = true;
	release_signals(before);
}

void record_placing(Output &out, Placing placing, off_t upto)
{
	sigset_t before = hold_signals();
	out.placing = placing;
	out.upto = upto;
	release_signals(before);
}

void record_doom(Output &out, const Entry &entry, int fd)
{
	struct stat st;
	if (fstat(fd, &st) != 0)
		return;
	sigset_t before = hold_signals();
	arm(out);
	out.doom = entry;
	out.dev = st.st_dev;
	out.ino = st.st_ino;
	out.doomed = true;
	release_signals(before);
}

void undoom(Output &out)
{
	sigset_t before = hold_signals();
	out.doomed = false;
	release_signals(before);
}

void record_grown(Output &out, off_t old_size)
{
	sigset_t before = hold_signals();
	arm(out);
	out.old_size = old_size;
	out.grown = true;
	release_signals(before);
}

void record_cut(Output &out)
{
	sigset_t before = hold_signals();
	out.grown = false;
	release_signals(before);
}

void end_output(Output *out)
{
	sigset_t before = hold_signals();
	undo(out);
	drop_undo(out->undo);
	out->undo = -1;
	release_signals(before);
	if (out->fp)
		fclose(out->fp);
	for (int fd : {out->target, out->content, out->entry.dir})
		if (fd >= 0)
			close(fd);
	delete out->staging;
	before = hold_signals();
	out->used = false;
	release_signals(before);
}
