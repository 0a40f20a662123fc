#include "common/output/signals.h"

#include "common/output/registry.h"

// Signals whose default action ends the process and that come from outside:
// a terminal, a scheduler, a timer, a reader gone.
static const int ending[] = {
	SIGHUP,  SIGINT,  SIGQUIT,   SIGUSR1, SIGUSR2, SIGPIPE, SIGALRM,
	SIGTERM, SIGXCPU, SIGVTALRM, SIGPROF, SIGPOLL, SIGPWR,  SIGSTKFLT,
};

static volatile sig_atomic_t broken_pipe;

static void end_by(int sig)
{
	struct sigaction dfl = {};
	dfl.sa_handler = SIG_DFL;
	sigaction(sig, &dfl, nullptr);
	sigset_t one;
	sigemptyset(&one);
	sigaddset(&one, sig);
	raise(sig);
	sigprocmask(SIG_UNBLOCK, &one, nullptr);
}

static void on_signal(int sig)
{
	if (sig == SIGPIPE && open_outputs() > 0) {
		broken_pipe = 1;
		return;
	}
	undo_outputs();
	end_by(sig);
}

// Installs on_signal for sig unless the run was started with sig ignored
// or handled: then it stays as it was.
static void catch_signal(int sig)
{
	struct sigaction handler = {}, old;
	handler.sa_handler = on_signal;
	handler.sa_flags = SA_RESTART;
	for (int other : ending)
		sigaddset(&handler.sa_mask, other);
	if (sigaction(sig, &handler, &old) == 0 && old.sa_handler != SIG_DFL)
		sigaction(sig, &old, nullptr);
}

void catch_signals()
{
	static bool done;
	if (!done)
		catch_signal(SIGPIPE);
	done = true;
}

void catch_ending_signals()
{
	static bool done;
	if (done)
		return;
	done = true;
	for (int sig : ending)
		if (sig != SIGPIPE)
			catch_signal(sig);
}

sigset_t hold_signals()
{
	sigset_t held, before;
	sigemptyset(&held);
	for (int sig : ending)
		sigaddset(&held, sig);
	sigprocmask(SIG_BLOCK, &held, &before);
	return before;
}

void release_signals(const sigset_t &before)
{
	sigprocmask(SIG_SETMASK, &before, nullptr);
}

void end_if_pipe_broke()
{
	if (broken_pipe && open_outputs() == 0)
		end_by(SIGPIPE);
}
