#include "common/output/ending.h"

#include <atomic>
#include <cstdlib>

// Signals whose default action ends the process and that come from outside:
// a terminal, a scheduler, a timer, a reader gone.
static const int ending[] = {
	SIGHUP,  SIGINT,  SIGQUIT,   SIGUSR1, SIGUSR2, SIGPIPE, SIGALRM,
	SIGTERM, SIGXCPU, SIGVTALRM, SIGPROF, SIGPOLL, SIGPWR,  SIGSTKFLT,
};

// The undo of every output; set once, with signals held.
static void (*undo)();

static volatile sig_atomic_t pipe_holds, pipe_broke;

// Once, whichever way the run ends first: a signal on the main thread, or
// exit() on any thread.
static void run_undo()
{
	static std::atomic_flag ran = ATOMIC_FLAG_INIT;
	if (undo && !ran.test_and_set())
		undo();
}

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
	if (sig == SIGPIPE && pipe_holds > 0) {
		pipe_broke = 1;
		return;
	}
	run_undo();
	end_by(sig);
}

static void at_exit()
{
	sigset_t before = hold_signals();
	run_undo();
	release_signals(before);
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

void set_undo(void (*all)())
{
	if (!undo) {
		for (int sig : ending)
			catch_signal(sig);
		atexit(at_exit);
	}
	undo = all;
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

void hold_broken_pipe()
{
	static bool caught;
	if (!caught)
		catch_signal(SIGPIPE);
	caught = true;
	pipe_holds = pipe_holds + 1;
}

void release_broken_pipe()
{
	pipe_holds = pipe_holds - 1;
	if (pipe_holds == 0 && pipe_broke) {
		run_undo();
		end_by(SIGPIPE);
	}
}
