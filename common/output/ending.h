// The ways a run ends before its work is done: a signal whose default action
// ends the process, and exit() (a reporter's, or that of an allocation that
// failed). Either way the undo set here runs first, once, and the run then
// ends as it would have. The undo uses only calls that are safe in a signal
// handler.
#pragma once

#include <signal.h>

// Sets undo, to run if the run ends before its work is done. Called with
// signals held; the first call installs the handlers of the signals that
// end a run (except those the run was started with ignored or handled) and
// the exit hook.
void set_undo(void (*undo)());

// Holds the signals that end a run, so that none ends it halfway through a
// few system calls; returns the mask it replaced, which release_signals
// restores, letting a waiting signal take effect.
sigset_t hold_signals();
void release_signals(const sigset_t &before);

// While the pipe is held (a count: each hold is released once), a broken
// pipe (SIGPIPE) waits; the release that ends the last hold then ends the
// run by it. The first hold installs the handler of SIGPIPE, unless the run
// was started with it ignored or handled.
void hold_broken_pipe();
void release_broken_pipe();
