#include "common/output/signals.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

// Signals whose default action ends the process and that come from outside:
// a terminal, a scheduler, a timer, a reader gone.
static const int ending[] = {
	SIGHUP, SIGINT, SIGQUIT, SIGUSR1, SIGUSR2, SIGPIPE, SIGALRM, SIGTERM,
	SIGXCPU, SIGVTALRM, SIGPROF, SIGPOLL, SIGPWR, SIGSTKFLT,
};

static volatile sig_atomic_t writing, broken_pipe;

// Files named while they are written: at most one output is open at a time,
// but room for a few costs nothing.
static struct Doomed {
	int dir;
	char name[NAME_MAX + 1];
	dev_t dev;
	ino_t ino;
} doomed[4];
static volatile sig_atomic_t ndoomed;

static void remove_doomed()
{
	for (int i = 0; i < ndoomed; i++) {
		struct stat st;
		if (fstatat(doomed[i].dir, doomed[i].name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
		    st.st_dev == doomed[i].dev && st.st_ino == doomed[i].ino)
			unlinkat(doomed[i].dir, doomed[i].name, 0);
	}
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
	if (sig == SIGPIPE && writing > 0) {
		broken_pipe = 1;
		return;
	}
	remove_doomed();
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

// The other signals matter only once a file is named while it is written.
static void catch_ending_signals()
{
	static bool done;
	if (done)
		return;
	done = true;
	for (int sig : ending)
		if (sig != SIGPIPE)
			catch_signal(sig);
}

void writing_begins()
{
	writing = writing + 1;
}

void writing_ends()
{
	writing = writing - 1;
	if (writing == 0 && broken_pipe)
		end_by(SIGPIPE);
}

void doom(int dir, const char *name, int fd)
{
	catch_ending_signals();
	struct stat st;
	if (ndoomed == int(sizeof doomed / sizeof doomed[0]) || strlen(name) > NAME_MAX ||
	    fstat(fd, &st) != 0)
		return;
	Doomed &d = doomed[ndoomed];
	d.dir = dir;
	strcpy(d.name, name);
	d.dev = st.st_dev;
	d.ino = st.st_ino;
	ndoomed = ndoomed + 1;
}

void undoom(int dir, const char *name)
{
	hold_signals();
	for (int i = 0; i < ndoomed; i++) {
		if (doomed[i].dir != dir || strcmp(doomed[i].name, name) != 0)
			continue;
		doomed[i] = doomed[ndoomed - 1];
		ndoomed = ndoomed - 1;
		break;
	}
	release_signals();
}

static sigset_t before_hold;

void hold_signals()
{
	sigset_t held;
	sigemptyset(&held);
	for (int sig : ending)
		sigaddset(&held, sig);
	sigprocmask(SIG_BLOCK, &held, &before_hold);
}

void release_signals()
{
	sigprocmask(SIG_SETMASK, &before_hold, nullptr);
}
