// The record of every open output, in one table: the end of a run (a
// signal, exit()) walks it and undoes what each output still must. The
// fields that the undo reads change here alone, with signals held, so that
// it never sees half of a change; output.cpp owns the rest. output.h tells
// the life of an output.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdio>

#include "common/output/staging.h"
#include "common/output/steps.h"

struct OutputSet;

// Where an output stands; output.h lists who moves it where.
enum class State { made, stream, fresh, direct, staged, renaming, rewriting, placed };

struct Output {
	bool used;
	State state;
	FILE *fp;          // the stream given out, until it is closed
	Entry entry;       // where the file is named
	int target;        // the file the path names, open for writing (staged
	                   // and after, direct), or -1
	int content;       // the unnamed file that holds the content, or -1
	Staging *staging;  // content counted against the memory budget, or null
	OutputSet *set;    // the set that it is placed with, or null
	bool written;      // the content is whole and waits to be placed
	off_t upto;        // rewriting: the bytes of the content still to copy

	// Renaming: the status of the target when plan chose to rename over it.
	struct stat chosen;

	// What the undo removes, and what it cuts back.
	bool removing;  // while the entry `temp` names the file: remove it
	Entry temp;
	struct stat file;
	bool cutting;  // target was written past its old end: cut it back
	off_t old_size;
};

// A blank record, made: null, with errno EMFILE, when as many outputs as
// the table holds are open.
Output *new_output();

// The record of the stream fp, or null.
Output *find_output(FILE *fp);

// Until nothing_to_undo, the file open at fd, which entry names, is removed
// if the output ends unplaced, and if the run ends first: by the undo, or,
// where the caller holds signals until then (held), by no signal.
void remove_unless_placed(Output &out, const Entry &entry, int fd, bool held = false);

// Until nothing_to_undo, target is cut back to old_size if the run ends
// first.
void cut_back_unless_placed(Output &out, off_t old_size);
void nothing_to_undo(Output &out);

// Undoes now what the output still must: removes its file, cuts back its
// target.
void undo_output(Output &out);

// Ends the record: undoes what it still must, closes its stream if still
// open and its descriptors, frees its staging and its place.
void end_output(Output *out);
