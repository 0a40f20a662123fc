// The writing path of every output file.
//
// The life of an output, one State (record.h), and the one function that
// moves it to each:
//
//   made       new_output: a blank record, while open_output finds what
//              the path names, as open(2) with O_CREAT would;
//   fresh      open_in, unname_new: nothing there: a new file, written
//              unnamed;
//   direct     unname_new: nothing there, and no unnamed file can be made:
//              written under its own name, removed unless it is placed;
//   staged     open_staged: an existing regular file: the new content waits
//              beside it, unnamed (or in memory where no file can be made);
//              retarget: a name found taken, or leading elsewhere, at
//              placement by a regular file: planned again against it;
//   stream     open_existing, open_path: anything else (a standard stream,
//              a device, a pipe): written as it is;
//   renaming   plan: the content takes the file's place by a rename;
//   rewriting  plan: the file is rewritten in place, locked; also
//              prepare_rewrite, where a rename cannot be done after all;
//   placed     place: linked, renamed or rewritten under its name.
//
// close_output marks the content written (every byte reached it, or the
// output fails) and places an output opened alone; a set is placed once
// all are written (place_outputs). An output not placed is undone when it
// ends (end_output), and when the run ends first, by a signal or by
// exit(): an existing file keeps its old bytes, a new one is absent. Until
// then a broken pipe waits: a driver may report a fault and exit with
// outputs open.
//
// Every file keeps what makes it itself (its hard links, owner, group,
// mode, ACLs and extended attributes), and a path naming standard output or
// standard error is written through that stream, never truncated.
#pragma once

#include <cstdio>

#include "common/fault.h"

struct Output;

// The outputs a run may have open at once, alone or in sets.
inline constexpr int max_outputs = 8;

// Outputs placed together, in the order they were opened.
struct OutputSet {
	Output *members[max_outputs];
	int count = 0;
};

// Opens path for writing, alone or as the next member of set. Returns
// nullptr, with errno set and nothing changed, when it cannot be created or
// opened for writing (or when a set is full: EMFILE).
FILE *open_output(const char *path, OutputSet *set = nullptr);

// Closes a stream from open_output, and puts what was written in place
// unless it belongs to a set. Returns Fault::write when anything could not
// be written or put in place, Fault::memory when content that waits in
// memory outgrew the run's budget; the path then holds what it held
// before (a stream excepted).
Fault close_output(FILE *fp);

// Puts every member of set in place, once each was closed without a fault:
// all that can fail (a lock waited for, blocks reserved, a name beside the
// file) is done for each first, then all are put in place with signals
// held. Returns the fault of the member that failed, *failed naming its
// place in the set; then no path has changed, unless the file system
// failed in the moment the set was put in place. Two members that would
// replace the same file are a write error.
Fault place_outputs(OutputSet &set, int *failed);
