#include "common/prog.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

const char *program = "";

void setprog(char *const argv[])
{
	const char *name = argv[0] ? argv[0] : "";
	const char *slash = strrchr(name, '/');
	program = slash ? slash + 1 : name;
}

void print_rcsid()
{
	printf("%s\n", rcsid);
}

[[noreturn]] static void fail(const char *prog, const char *file, const char *what)
{
	fprintf(stderr, "%s: %s %s error\n", prog, file, what);
	exit(255);
}

void errr(const char *prog, const char *file) { fail(prog, file, "read"); }
void errw(const char *prog, const char *file) { fail(prog, file, "write"); }
void errf(const char *prog, const char *file) { fail(prog, file, "format"); }

void errm(const char *prog)
{
	fprintf(stderr, "%s: memory allocation error\n", prog);
	exit(255);
}

void exit_success()
{
	if (fflush(stdout) != 0 || ferror(stdout)) {
		fprintf(stderr, "%s: standard output write error\n", program);
		exit(255);
	}
	exit(0);
}
