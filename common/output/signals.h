// The signals that end a run, while output files are being written. None
// is held across a call that can block for long: a file still being
// written is unnamed and vanishes with the process, and one that is named
// while it is written, or grown past its old end, is listed in the table
// of outputs and undone before the signal takes its course. A broken pipe
// on a standard stream waits until the file being written is in place.
#pragma once

#include <signal.h>

// Installs the handler of a broken pipe, unless it is ignored. Done once;
// later calls do nothing.
void catch_signals();

// Installs the handlers of the other signals that end a run, once: called
// when an output first has something that a signal must undo.
void catch_ending_signals();

// Holds the signals that end a run, so that none ends it halfway through
// a few system calls; returns the mask it replaced, which release_signals
// restores, letting a waiting signal take effect.
sigset_t hold_signals();
void release_signals(const sigset_t &before);

// Once no output is open, a broken pipe seen meanwhile ends the run as it
// would have.
void end_if_pipe_broke();
