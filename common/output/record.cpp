#include "common/output/record.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <initializer_list>

#include "common/output/ending.h"
#include "common/output/output.h"

static Output table[max_outputs];

// Whether the undo is set: from then on a signal or exit() may run it.
static bool armed;

// Undoes what an output still must: safe in a signal handler.
static void undo(Output &out)
{
	struct stat st;
	if (out.removing && fstatat(out.temp.dir, out.temp.name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
	    same_file(st, out.file))
		unlinkat(out.temp.dir, out.temp.name, 0);
	if (out.cutting)
		(void)ftruncate(out.target, out.old_size);
	out.removing = out.cutting = false;
}

static void undo_all()
{
	for (Output &out : table)
		if (out.used)
			undo(out);
}

// Changes what the undo reads, with signals held once it may run, and sets
// the undo first when arming.
template <typename Change>
static void change(Output &out, Change how, bool arming = false)
{
	if (!armed && !arming) {
		how(out);
		return;
	}
	sigset_t before = hold_signals();
	if (!armed)
		set_undo(undo_all);
	armed = true;
	how(out);
	release_signals(before);
}

Output *new_output()
{
	for (Output &out : table) {
		if (out.used)
			continue;
		change(out, [](Output &o) {
			o = Output{};
			o.entry.dir = o.target = o.content = -1;
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

void remove_unless_placed(Output &out, const Entry &entry, int fd, bool held)
{
	struct stat st;
	if (fstat(fd, &st) != 0)
		return;
	change(
		out,
		[&](Output &o) {
			o.temp = entry;
			o.file = st;
			o.removing = true;
		},
		!held);
}

void cut_back_unless_placed(Output &out, off_t old_size)
{
	change(
		out,
		[&](Output &o) {
			o.old_size = old_size;
			o.cutting = true;
		},
		true);
}

void nothing_to_undo(Output &out)
{
	change(out, [](Output &o) { o.removing = o.cutting = false; });
}

void undo_output(Output &out)
{
	change(out, [](Output &o) { undo(o); });
}

void end_output(Output *out)
{
	undo_output(*out);
	if (out->fp)
		fclose(out->fp);
	for (int fd : {out->target, out->content, out->entry.dir})
		if (fd >= 0)
			close(fd);
	delete out->staging;
	change(*out, [](Output &o) { o.used = false; });
}
