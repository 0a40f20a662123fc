// The record of every open output. This file alone changes it, and always
// with signals held, so that the undo step that a signal or exit() runs
// never sees half of a change. output.h tells the life of an output.
#pragma once

#include <sys/types.h>

#include <cstdio>

#include "common/output/staging.h"
#include "common/output/steps.h"

struct OutputSet;

// How an output reaches its path.
enum class Way {
	made,    // not yet known: being opened
	stream,  // straight into an open file: a standard stream, a device, a pipe
	fresh,   // a new file: written unnamed, linked into place at the end
	direct,  // a new file written under its own name, removed unless placed
	staged,  // an existing file: its new content waits beside it, then replaces it
};

// How a staged output is put in place, once ready.
enum class Placing { none, by_rename, in_place };

struct Output {
	bool used;
	FILE *fp;  // the stream given out (on a descriptor of its own),
	           // until it is closed
	Way way;
	Entry entry;       // where the file is named
	int target;        // the file the path names, open for writing (staged,
	                   // direct), or -1
	int content;       // the unnamed file that holds the content, or -1
	Staging *staging;  // content counted against the memory budget, or null
	OutputSet *set;    // the set that it is placed with, or null
	bool written;      // the content is whole and waits to be placed
	Placing placing;
	off_t upto;  // in_place: the bytes of the content still to copy

	// What the undo step undoes, until the output is placed or ended.
	bool doomed;  // doom names the new file, or by_rename the content
	Entry doom;   // beside it (dev, ino): remove it
	dev_t dev;
	ino_t ino;
	bool grown;  // target was written past its old end: cut it back
	off_t old_size;
	int undo;  // the step's handle, or -1
};

// A blank record, made: null, with errno EMFILE, when as many outputs as
// the table holds are open.
Output *new_output();

// The record of the stream fp, or null.
Output *find_output(FILE *fp);

// Sets what the record is; the record takes the descriptors it is given.
// Each change is made so that a signal never shows its undo step half of
// it.
void record_entry(Output &out, const Entry &entry);
void record_way(Output &out, Way way, int target, int content);
void record_staging(Output &out, Staging *staging);
void record_stream(Output &out, FILE *fp, OutputSet *set);
void record_written(Output &out);
void record_placing(Output &out, Placing placing, off_t upto);

// Until undoom, the file open at fd, which entry names, is removed if the
// output ends unplaced, and if the run ends first: by its undo step, or,
// where the caller holds signals until undoom (held), by no signal at all.
void record_doom(Output &out, const Entry &entry, int fd, bool held = false);
void undoom(Output &out);

// Until record_cut, target is cut back to old_size if the run ends first.
void record_grown(Output &out, off_t old_size);
void record_cut(Output &out);

// Ends the record: undoes what it still must (a doomed file removed, a
// grown target cut back), closes its stream if still open and its
// descriptors, frees its staging and its place.
void end_output(Output *out);
