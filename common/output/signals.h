// The signals that end a run, while output files are being written. None is
// ever held across a write that can block: a file still being written is
// unnamed and vanishes with the process, and one being written under its
// own name is removed before the signal takes its course. A broken pipe on
// a standard stream waits until the file being written is in place.
#pragma once

// Installs the handler of a broken pipe, unless it is ignored. Done once;
// later calls do nothing. The handlers of the other signals that end a run
// are installed with the first doom.
void catch_signals();

// An output file opens or closes. Once none is open, a broken pipe seen
// meanwhile ends the run as it would have.
void writing_begins();
void writing_ends();

// The file open at fd, named name in directory dir, is to be removed if a
// signal ends the run, until undoom.
void doom(int dir, const char *name, int fd);
void undoom(int dir, const char *name);

// Holds the signals for the few system calls that put a file in place, so
// that none ends the run halfway; release lets waiting ones take effect.
void hold_signals();
void release_signals();
