// The running program: its name, its revision line, its command line and
// the reporters that end a run.
#pragma once

#include <cstdio>

#include "common/fault.h"

// Base name of argv[0], set once by setprog() and shown first in every
// diagnostic, usage text and header line.
extern const char *program;

// The arguments after the program's own, as the run was given them (a
// null pointer ends them): the header of every written file repeats them.
extern char *const *arguments;

// The program's revision-keyword line, as given to begin_run, which the
// header of every written file repeats; empty for a program without one.
extern const char *revision;

// The first call of every program. It ignores SIGXFSZ, so that a write past
// the file-size limit fails and is reported instead of killing the run;
// keeps descriptors 0, 1 and 2 open, so that no file opened later takes the
// place of a closed standard stream (a closed one holds "/" opened with
// O_PATH, which can be neither read nor written, and which /dev/stdin and
// its kin then fail to open); makes a failed allocation that no one catches
// the memory error; sets program, arguments and revision; and prints the
// revision line, when there is one, on standard output.
//
// usage prints the program's usage text on the stream it is given. A lone
// argument "--help" prints the revision line and the usage text on standard
// output, a lone "--version" the line "PROGRAM (regkit) VERSION"; either
// ends the run there, with status 0.
void begin_run(char *const argv[], const char *rcsid, void (*usage)(FILE *));

// Prints the usage text on out and ends the run with status 1.
[[noreturn]] void exit_usage(FILE *out);

// Says on standard error what is wrong with the command line, as
// "PROGRAM: WHATNAME" (both shown as Message::shown shows them), then
// prints the usage text on usage_out and ends the run with status 1.
[[noreturn]] void exit_refused(FILE *usage_out, const char *what, const char *name = "");

// Refuses, as exit_refused, a command line that breaks grammar (common/args.h):
// "unknown option -I", "-r takes its value in the same argument: -r10,5,-15",
// "-r needs a value", "extra operand out.csv", "missing operand".
struct Grammar;
void check_arguments(int argc, char *const argv[], const Grammar &grammar, FILE *usage_out);

// A message, for standard error as a rule, gathered so that it goes out in
// one write (standard error is unbuffered) unless it outgrows the buffer.
class Message {
public:
	// A message for stream, standard error unless another is given.
	explicit Message(FILE *stream = stderr) : to(stream)
	{
	}
	// Adds text as it is.
	void raw(const char *text);
	// Adds a name with its control bytes (0x01 to 0x1F and 0x7F) as \n, \r,
	// \t or \ooo (shown_byte), so that no message can drive a terminal;
	// every other byte as it is.
	void shown(const char *text);
	// Writes what was added on the message's stream.
	void send();

private:
	void add(char c);
	FILE *to;
	char buf[4096];
	size_t len = 0;
};

// The bytes that stand for byte in a message, in out, and how many: byte
// itself, or for a control byte (0x01 to 0x1F and 0x7F) \n, \r, \t or \ooo.
int shown_byte(char byte, char out[4]);

// Prints "WHAT NAME\n" on stream, the name as Message::shown shows it:
// print_named(stdout, "Reading: ", path).
void print_named(FILE *stream, const char *what, const char *name);

// Points program at the text after the last '/' of argv[0] (all of it when
// there is none), and arguments at argv + 1.
void setprog(char *const argv[]);

// The one way a driver ends a run with a fault: "%s: %s read error\n" and
// friends with program and the file it concerns (none for a memory error),
// on standard error, status 255. Fault::none is no fault: passing it is a
// programming error, caught by an assertion in debug builds.
[[noreturn]] void report(Fault fault, const char *file);

// report for a fault at a line of the file, numbered from 1: the file is
// named as "FILE:LINE" ("%s: %s:%lld format error\n").
[[noreturn]] void report(Fault fault, const char *file, long long line);

// report for a unit that names itself, not the program, in its messages:
// expandf's memory message begins with "expandf".
[[noreturn]] void report_as(const char *who, Fault fault, const char *file);

// The successful end of a run: flushes standard output and exits 0, or, when
// anything written there was lost, says so and exits 255.
[[noreturn]] void exit_success();
