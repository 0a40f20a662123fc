#include "common/prog.h"

#include "common/args.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cassert>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <stdexcept>

const char *program = "";

static char *const no_arguments[] = {nullptr};
char *const *arguments = no_arguments;

const char *revision = "";
static void (*print_usage)(FILE *);

void setprog(char *const argv[])
{
	const char *name = argv[0] ? argv[0] : "";
	const char *slash = strrchr(name, '/');
	program = slash ? slash + 1 : name;
	arguments = argv[0] ? argv + 1 : no_arguments;
}

// A closed descriptor 0, 1 or 2 would be taken by the next file opened, and
// standard output or error would then land in that file. The root directory,
// opened only as a path, keeps the place: reading or writing it fails, as on
// the closed descriptor, and a path that names the descriptor (/dev/stdin,
// /dev/fd/1, /proc/self/fd/2) leads to a directory, which no program opens
// for writing and none can read: a write or read error, as the shell's
// redirection would give, never /dev/null's quiet success.
static void occupy_standard_descriptors()
{
	for (int fd = 0; fd <= 2; fd++)
		if (fcntl(fd, F_GETFD) == -1 && errno == EBADF && open("/", O_PATH | O_DIRECTORY) != fd)
			open("/dev/null", O_RDONLY);
}

// An exception that nothing catches ends the run here, before anything is
// unwound. An allocation that failed (std::bad_alloc) or a size that none
// could have (std::length_error) is the memory error, reported by the
// thread that met it; the outputs still open are undone on the way out
// (common/output/ending.h). Anything else is a fault in the program, which
// aborts.
static void uncaught()
{
	try {
		if (std::current_exception())
			std::rethrow_exception(std::current_exception());
	} catch (const std::bad_alloc &) {
		report(Fault::memory, nullptr);
	} catch (const std::length_error &) {
		report(Fault::memory, nullptr);
	} catch (...) {
	}
	abort();
}

// Whether word is the run's only argument.
static bool only_argument(char *const argv[], const char *word)
{
	return argv[0] && argv[1] && !argv[2] && strcmp(argv[1], word) == 0;
}

void begin_run(char *const argv[], const char *rcsid, void (*usage)(FILE *))
{
	signal(SIGXFSZ, SIG_IGN);
	occupy_standard_descriptors();
	std::set_terminate(uncaught);
	setprog(argv);
	revision = rcsid ? rcsid : "";
	print_usage = usage;
	if (only_argument(argv, "--version")) {
		printf("%s (regkit) %s\n", program, REGKIT_VERSION);
		exit_success();
	}
	if (*revision)
		printf("%s\n", revision);
	if (only_argument(argv, "--help")) {
		print_usage(stdout);
		exit_success();
	}
}

void exit_usage(FILE *out)
{
	print_usage(out);
	exit(1);
}

void Message::add(char c)
{
	if (len == sizeof buf)
		send();
	buf[len++] = c;
}

void Message::raw(const char *text)
{
	while (*text)
		add(*text++);
}

int shown_byte(char byte, char out[4])
{
	static const char octal[] = "01234567";
	unsigned char c = static_cast<unsigned char>(byte);
	if (c >= 0x20 && c != 0x7f) {
		out[0] = byte;
		return 1;
	}
	out[0] = '\\';
	if (c == '\n' || c == '\r' || c == '\t') {
		out[1] = c == '\n' ? 'n' : c == '\r' ? 'r' : 't';
		return 2;
	}
	out[1] = octal[c >> 6];
	out[2] = octal[(c >> 3) & 7];
	out[3] = octal[c & 7];
	return 4;
}

void Message::shown(const char *text)
{
	for (const char *c = text; *c; c++) {
		char bytes[4];
		for (int i = 0, n = shown_byte(*c, bytes); i < n; i++)
			add(bytes[i]);
	}
}

void Message::send()
{
	fwrite(buf, 1, len, to);
	len = 0;
}

void print_named(FILE *stream, const char *what, const char *name)
{
	Message m(stream);
	m.raw(what);
	m.shown(name);
	m.raw("\n");
	m.send();
}

void exit_refused(FILE *usage_out, const char *what, const char *name)
{
	Message m;
	m.shown(program);
	m.raw(": ");
	m.shown(what);
	m.shown(name);
	m.raw("\n");
	m.send();
	exit_usage(usage_out);
}

void check_arguments(int argc, char *const argv[], const Grammar &grammar, FILE *usage_out)
{
	StrayArgument stray = find_stray(argc, argv, grammar);
	char what[64];
	switch (stray.kind) {
	case Stray::none:
		return;
	case Stray::unknown_option:
		snprintf(what, sizeof what, "unknown option -%c", stray.letter);
		exit_refused(usage_out, what);
	case Stray::needs_value:
		snprintf(what, sizeof what, "-%c needs a value", stray.letter);
		exit_refused(usage_out, what);
	case Stray::value_apart:
		snprintf(what, sizeof what, "-%c takes its value in the same argument: -%c", stray.letter,
		         stray.letter);
		exit_refused(usage_out, what, stray.arg);
	case Stray::extra_operand:
		exit_refused(usage_out, "extra operand ", stray.arg);
	case Stray::missing_operand:
		exit_refused(usage_out, "missing operand");
	}
}

// Only one thread ends the run, and only once: exit() is no function for
// two threads at a time, and an allocation that fails while the run ends
// (in an undo step, say) must not end it again.
static void claim_the_end()
{
	static std::atomic_flag claimed = ATOMIC_FLAG_INIT;
	static thread_local bool mine;
	if (mine)
		_exit(255);
	if (claimed.test_and_set())
		for (;;)
			pause();
	mine = true;
}

// Ends the run with the message of fault, who first; file is named as
// "FILE:LINE" when line > 0.
[[noreturn]] static void end_with(const char *who, Fault fault, const char *file, long long line)
{
	assert(fault != Fault::none);
	claim_the_end();
	char at[24] = "";  // ":LINE", or nothing
	if (line > 0)
		snprintf(at, sizeof at, ":%lld", line);
	Message m;
	m.shown(who);
	m.raw(": ");
	switch (fault) {
	case Fault::read:
	case Fault::write:
	case Fault::format:
		m.shown(file);
		m.raw(at);
		m.raw(fault == Fault::read    ? " read error\n"
		      : fault == Fault::write ? " write error\n"
		                              : " format error\n");
		break;
	case Fault::none:  // only in a release build, where it cannot abort
	case Fault::memory:
		m.raw("memory allocation error\n");
		break;
	}
	m.send();
	exit(255);
}

void report_as(const char *who, Fault fault, const char *file)
{
	end_with(who, fault, file, 0);
}

void report(Fault fault, const char *file)
{
	end_with(program, fault, file, 0);
}

void report(Fault fault, const char *file, long long line)
{
	end_with(program, fault, file, line);
}

void exit_success()
{
	if (fflush(stdout) != 0 || ferror(stdout)) {
		Message m;
		m.shown(program);
		m.raw(": standard output write error\n");
		m.send();
		exit(255);
	}
	exit(0);
}
