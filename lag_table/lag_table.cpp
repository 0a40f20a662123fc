// lag_table: one subject's lag table, the autocorrelation of each region's
// time series at lags -M to M, for lag_pool to pool.
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "common/args.h"
#include "common/budget.h"
#include "common/header.h"
#include "common/lagtable.h"
#include "common/lines.h"
#include "common/output/output.h"
#include "common/prog.h"
#include "lag_table/acf.h"
#include "lag_table/series.h"
#include "pattern_list/expandf.h"

static const char rcsid[] = "$Id: lag_table.cpp,v 1.1 2026/12/09 20:00:00 regkit Exp $";

static void usage(FILE *out)
{
	fprintf(out, "Usage:\t%s -l<mlag> <series> <lagfile>\n", program);
	fprintf(out, "e.g.,\t%s -l20 -m3x197+ sub01_ts.csv sub01_lags.dat\n", program);
	fprintf(out, "\toptions\n");
	fprintf(out, "\t-l<int>\tlargest lag, at least 1 (required)\n");
	fprintf(out, "\t-m<fmt>\tframe mask, as pattern_list expands it: '+' keeps a frame\n");
	fprintf(out, "\t-H\tthe first line names the regions even when it holds numbers only\n");
}

struct Options {
	const char *mlag = nullptr;  // -l's value
	const char *mask = nullptr;  // -m's value
	bool header = false;
	const char *series, *lagfile;
};

// The options, the last of a letter given twice counting; the command line
// already keeps the grammar.
static Options read_options(int argc, char *argv[])
{
	Options o;
	for (int i = 1; i < argc; i++) {
		if (argv[i][0] != '-')
			continue;
		for (const char *c = argv[i] + 1; *c; c++) {
			if (*c == 'H') {
				o.header = true;
				continue;
			}
			(*c == 'l' ? o.mlag : o.mask) = c + 1;
			break;
		}
	}
	const char *operands[2];
	positionals(argc, argv, operands, 2);
	o.series = operands[0];
	o.lagfile = operands[1];
	return o;
}

// -l's value: a positive decimal integer, digits only.
static int largest_lag(const char *text)
{
	if (!text)
		exit_refused(stderr, "-l is required");
	long long m = 0;
	for (const char *c = text; *c; c++) {
		if (*c < '0' || *c > '9' || (m = 10 * m + (*c - '0')) > INT_MAX)
			exit_refused(stderr, "-l takes a positive integer: -l", text);
	}
	if (m < 1)
		exit_refused(stderr, "-l takes a positive integer: -l", text);
	return int(m);
}

// Ends the run with a message of its own: "lag_table: " and the parts, in
// turn text as it is and a name shown as Message::shown shows it.
[[noreturn]] static void fail(std::initializer_list<const char *> parts)
{
	Message m;
	m.shown(program);
	m.raw(": ");
	bool name = false;
	for (const char *part : parts) {
		if (name)
			m.shown(part);
		else
			m.raw(part);
		name = !name;
	}
	m.raw("\n");
	m.send();
	exit(255);
}

static void read_file(const char *path, bool header, Series &s)
{
	LineReader in;
	FILE *fp = open_lines(in, path);
	if (!fp)
		report(in.fault, path);
	long long line;
	Fault fault = read_series(fp, in, header, s, &line);
	if (fault != Fault::none)
		report(fault, path, line);
	fclose(fp);
}

// The mask expanded, one symbol per frame, within the budget; keep[t] is
// whether frame t is kept. Null without a mask.
static bool *frame_mask(const Options &o, long long frames, long long &kept)
{
	kept = frames;
	if (!o.mask)
		return nullptr;
	size_t len = strlen(o.mask);
	size_t size = (size_t(frames) > len ? size_t(frames) : len) + 1;
	char *text = size <= INT_MAX ? static_cast<char *>(budget_calloc(size)) : nullptr;
	if (!text)
		report(Fault::memory, nullptr);
	memcpy(text, o.mask, len);
	ExpandResult result = expandf(text, int(size), false);
	if (result == ExpandResult::no_memory)
		report(Fault::memory, nullptr);
	if (result != ExpandResult::done || strlen(text) != size_t(frames)) {
		char count[24];
		snprintf(count, sizeof count, "%lld", frames);
		fail({"-m", o.mask, " does not give one symbol for each of the ", count, " frames of ",
		      o.series});
	}
	bool *keep = reinterpret_cast<bool *>(text);
	kept = 0;
	for (long long t = 0; t < frames; t++)
		kept += keep[t] = text[t] == '+';
	return keep;
}

// n doubles within the budget, or the memory error.
static double *doubles(size_t n)
{
	void *p = n <= SIZE_MAX / sizeof(double) ? budget_calloc(n * sizeof(double)) : nullptr;
	if (!p)
		report(Fault::memory, nullptr);
	return static_cast<double *>(p);
}

static void write_table(const char *path, const Series &s, int mlag, const double *acf)
{
	FILE *fp = open_result(path, stdout);
	if (!fp)
		report(Fault::write, path);
	put_lag_heading(fp);
	const char *label = s.labels.data;
	for (int r = 0; r < s.nreg; r++, label = next_label(label))
		put_label(fp, label);
	putc('\n', fp);
	for (int lag = -mlag; lag <= mlag; lag++) {
		put_lag(fp, lag);
		const double *values = acf + size_t(lag < 0 ? -lag : lag) * s.nreg;
		for (int r = 0; r < s.nreg; r++)
			put_value(fp, values[r], 6);
		putc('\n', fp);
	}
	if (Fault fault = close_output(fp); fault != Fault::none)
		report(fault, path);
}

int main(int argc, char *argv[])
{
	begin_run(argv, rcsid, usage);
	check_arguments(argc, argv, Grammar{"H", "lm", 2, 2}, stderr);
	Options o = read_options(argc, argv);
	int mlag = largest_lag(o.mlag);

	print_named(stdout, "Reading: ", o.series);
	Series s;
	read_file(o.series, o.header, s);
	long long kept;
	bool *keep = frame_mask(o, s.frames, kept);
	if (s.frames <= mlag) {
		char counts[96];
		snprintf(counts, sizeof counts, " has %lld frames, too few for lags up to %d", s.frames,
		         mlag);
		fail({"", o.series, counts});
	}
	printf("frames=%lld kept=%lld regions=%d mlag=%d\n", s.frames, kept, s.nreg, mlag);

	double *acf = doubles((size_t(mlag) + 1) * s.nreg);
	bool *varies = static_cast<bool *>(budget_calloc(s.nreg ? s.nreg : 1));
	if (!varies)
		report(Fault::memory, nullptr);
	double *x = reinterpret_cast<double *>(s.values.data);
	int r;
	if (Acf result = autocorrelate(x, s.frames, s.nreg, keep, mlag, acf, varies, &r);
	    result != Acf::done) {
		const char *label = s.labels.data;
		for (int i = 0; i < r; i++)
			label = next_label(label);
		fail({"", o.series, ": region ", label,
		      result == Acf::constant ? " is constant over the kept frames"
		                              : " has values too small or too large to square and sum"});
	}
	write_table(o.lagfile, s, mlag, acf);
	exit_success();
}
