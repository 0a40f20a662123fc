#include "common/output/ending.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <iterator>

// Signals whose default action ends the process and that come from outside:
// a terminal, a scheduler, a timer, a reader gone.
static const int ending[] = {
	SIGHUP,  SIGINT,  SIGQUIT,   SIGUSR1, SIGUSR2, SIGPIPE, SIGALRM,
	SIGTERM, SIGXCPU, SIGVTALRM, SIGPROF, SIGPOLL, SIGPWR,  SIGSTKFLT,
};

struct Step {
	void (*run)(void *);
	void *arg;
};

// A program has a few outputs open at once, each with one step at most.
// Changed only with signals held.
static Step steps[8];

static volatile sig_atomic_t pipe_holds, pipe_broke;

// Once, whichever way the run ends first: a signal on the main thread, or
// exit() on any thread.
static void run_steps()
{
	static std::atomic_flag ran = ATOMIC_FLAG_INIT;
	if (ran.test_and_set())
		return;
	for (const Step &step : steps)
		if (step.run)
			step.run(step.arg);
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
	run_steps();
	end_by(sig);
}

static void at_exit()
{
	sigset_t before = hold_signals();
	run_steps();
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

int add_undo(void (*run)(void *), void *arg)
{
	static bool hooked;
	if (!hooked) {
		for (int sig : ending)
			catch_signal(sig);
		atexit(at_exit);
		hooked = true;
	}
	for (Step &step : steps) {
		if (step.run)
			continue;
		sigset_t before = hold_signals();
		step.arg = arg;
		step.run = run;
		release_signals(before);
		return int(&step - steps);
	}
	errno = EMFILE;
	return -1;
}

void drop_undo(int handle)
{
	if (handle < 0 || handle >= int(std::size(steps)))
		return;
	sigset_t before = hold_signals();
	steps[handle].run = nullptr;
	release_signals(before);
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
		run_steps();
		end_by(SIGPIPE);
	}
}
