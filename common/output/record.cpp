#include "common/output/record.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <initializer_list>

#include "common/output/ending.h"
#include "common/output/output.h"

static Output table[max_outputs];

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

// Changes a record so that its undo step, which a signal may run at any
// moment, never sees half of a change: with signals held once the step is
// registered, or as the change registers it. No step reads a record without
// one.
template <typename Change>
static void change(Output &out, Change how, bool arming = false)
{
	if (out.undo < 0 && !arming) {
		how(out);
		return;
	}
	sigset_t before = hold_signals();
	how(out);
	release_signals(before);
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
		change(out, [](Output &o) {
			o = Output{};
			o.way = Way::made;
			o.entry.dir = o.target = o.content = o.undo = -1;
			o.used = true;
		});
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
	change(out, [&](Output &o) {
		if (o.entry.dir >= 0 && o.entry.dir != entry.dir)
			close(o.entry.dir);
		o.entry = entry;
	});
}

void record_way(Output &out, Way way, int target, int content)
{
	change(out, [&](Output &o) {
		o.way = way;
		o.target = target;
		o.content = content;
	});
}

void record_staging(Output &out, Staging *staging)
{
	change(out, [&](Output &o) { o.staging = staging; });
}

void record_stream(Output &out, FILE *fp, OutputSet *set)
{
	change(out, [&](Output &o) {
		o.fp = fp;
		o.set = set;
	});
}

void record_written(Output &out)
{
	change(out, [](Output &o) { o.written = true; });
}

void record_placing(Output &out, Placing placing, off_t upto)
{
	change(out, [&](Output &o) {
		o.placing = placing;
		o.upto = upto;
	});
}

void record_doom(Output &out, const Entry &entry, int fd, bool held)
{
	struct stat st;
	if (fstat(fd, &st) != 0)
		return;
	change(
		out,
		[&](Output &o) {
			if (!held)
				arm(o);
			o.doom = entry;
			o.dev = st.st_dev;
			o.ino = st.st_ino;
			o.doomed = true;
		},
		!held);
}

void undoom(Output &out)
{
	change(out, [](Output &o) { o.doomed = false; });
}

void record_grown(Output &out, off_t old_size)
{
	change(
		out,
		[&](Output &o) {
			arm(o);
			o.old_size = old_size;
			o.grown = true;
		},
		true);
}

void record_cut(Output &out)
{
	change(out, [](Output &o) { o.grown = false; });
}

void end_output(Output *out)
{
	change(*out, [](Output &o) {
		undo(&o);
		drop_undo(o.undo);
		o.undo = -1;
	});
	if (out->fp)
		fclose(out->fp);
	for (int fd : {out->target, out->content, out->entry.dir})
		if (fd >= 0)
			close(fd);
	delete out->staging;
	change(*out, [](Output &o) { o.used = false; });
}
