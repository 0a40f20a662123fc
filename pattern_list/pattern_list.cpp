// pattern_list: lists the expansion of a compact format string, one item a
// line, as symbols or as weights.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/args.h"
#include "common/prog.h"
#include "pattern_list/expandf.h"

static void usage(FILE *out)
{
	fprintf(out, "Usage:\t%s <format>\n", program);
	fprintf(out, "e.g.,\t%s \"2x3-2+1-2+2-2+1-1+2-1+1-1+1-1+2-1+1-1+1-2+2-1+1-1+2-2+1-2+2-\"\n", program);
	fprintf(out, "\toptions\n");
	fprintf(out, "\t-w\tconvert {'x' '+' '-'} to {0.0 1.0 -1.0}\n");
	fprintf(out, "\t-e\texpand on single line\n");
}

static const char *weight(char c)
{
	if (c == '+')
		return "1.0";
	if (c == '-')
		return "-1.0";
	return "0.0";
}

int main(int argc, char *argv[])
{
	static char format[16384];
	const char *arg;

	begin_run(argv, nullptr, usage);
	if (positionals(argc, argv, &arg, 1) < 1)
		exit_usage(stdout);
	bool numeric = option_count(argc, argv, 'w') != 0;
	bool oneline = option_count(argc, argv, 'e') != 0;

	// A format too long for the buffer fills it without a terminator,
	// which expandf reports as too long.
	memcpy(format, arg, strnlen(arg, sizeof format));
	ExpandResult result = expandf(format, sizeof format);
	if (result == ExpandResult::no_memory)
		report_as("expandf", Fault::memory, nullptr);
	if (result != ExpandResult::done)
		exit(255);

	for (const char *c = format; *c; c++) {
		if (numeric)
			fputs(weight(*c), stdout);
		else
			putchar(*c);
		if (!oneline)
			putchar('\n');
	}
	exit_success();
}
