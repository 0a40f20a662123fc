// The outputs that are open: one table, walked by close_output to find a
// stream's record and by the handler of a signal that ends the run to undo
// what must not outlive it.
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <cstdio>
#include <memory>

#include "common/output/replace.h"
#include "common/output/staging.h"

// How an output reaches its path.
enum class Way {
	stream,  // straight into an open file: a standard stream, a device, a pipe
	fresh,   // a new file: written unnamed, linked into place at the end
	direct,  // a new file written under its own name, removed on failure
	staged,  // an existing file: its new content waits beside it, then replaces it
};

struct Output {
	volatile sig_atomic_t used;
	FILE *fp;
	Way way;
	Entry entry;                      // where the file is named
	int target;                       // the file the path names, open for
	                                  // writing (staged, direct), or -1
	std::unique_ptr<Staging> memory;  // staged content where no unnamed
	                                  // file could be made beside target

	// What a signal that ends the run undoes. Set and cleared only while
	// signals are held, so that the handler never sees half of a change.
	bool doomed;  // entry names the file being written (dev, ino): remove it
	dev_t dev;
	ino_t ino;
	bool grown;  // target was written past its old end: cut it back
	off_t old_size;
};

// A blank record for a new output; null, with errno EMFILE, when as many
// outputs as the table holds are open.
Output *add_output();

// The record of the stream fp, or null.
Output *find_output(FILE *fp);

// Closes the record's descriptors, frees its staging and its place.
void drop_output(Output *out);

// How many outputs are open.
int open_outputs();

// The file open at fd and named by out's entry is to be removed if a signal
// ends the run, until undoom. Called with signals held.
void doom(Output &out, int fd);
void undoom(Output &out);

// For the signal handler: removes every doomed file that its entry still
// names and cuts every grown target back to its old size. Uses only calls
// that are safe in a signal handler.
void undo_outputs();
