// The writing path of every output file.
//
// The life of an output:
//
//   made     open_output finds what the path names, as open(2) with
//            O_CREAT would, and it becomes one of:
//     fresh    nothing there: a new file, written unnamed;
//     direct   nothing there, and no unnamed file can be made: written
//              under its own name, which is removed unless it is placed;
//     staged   an existing regular file: the new content waits beside it,
//              unnamed (or in memory where no file can be made there);
//     stream   anything else (a standard stream, a device, a pipe):
//              written as it is.
//   written  close_output closes the stream: every byte reached the file,
//            or the output fails;
//   placed   the new file is linked under its name, or the staged content
//            takes the old file's place, by rename or by a rewrite in place;
//   undone   a failure, a signal or the run's exit before placed: an
//            existing file keeps its old bytes, a new one is absent.
//
// An output opened alone is placed as soon as it is written; the outputs of
// a set are placed together, once all are written (place_outputs). Until
// an output is placed or undone a broken pipe waits, and a run that ends
// meanwhile, by a signal or by exit(), undoes it first: a driver may report
// a fault and exit with outputs open.
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
