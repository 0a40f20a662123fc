// The ways a run ends before its work is done: a signal whose default action
// ends the process, and exit() (a reporter's, or that of an allocation that
// failed). Either way the undo steps registered here run first, each once,
// and the run then ends as it would have. The hook knows nothing of what the
// steps undo; a step uses only calls that are safe in a signal handler.
#pragma once

#include <signal.h>

// Registers step(arg), to run if the run ends before drop_undo(handle).
// Returns the handle, or -1 with errno EMFILE when as many steps as the
// table holds are registered. The first call installs the handlers of the
// signals that end a run (except those the run was started with ignored or
// handled) and the exit hook.
int add_undo(void (*step)(void *), void *arg);
void drop_undo(int handle);

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
