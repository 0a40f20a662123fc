// xfm_points: maps points through a transform file.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/args.h"
#include "common/lines.h"
#include "common/prog.h"
#include "xfm/t4.h"
#include "xfm/xfmreverse.h"
#include "xfm_points/points.h"
#include "xfm_points/table.h"

static void usage(FILE *out)
{
	fprintf(out, "Usage:\t%s <t4file> [pointfile]\n", program);
	fprintf(out, "e.g.,\t%s qx42c_anat_ave_to_qx42c_234-3_t4 peaks.txt\n", program);
	fprintf(out, "\toption\n");
	fprintf(out, "\t-i\tmap through the inverse transform\n");
}

// Standard output, when it is no terminal, through a block large enough
// that a stream of points is written in few system calls. The block is
// taken from the budget and held to the end of the run; without it the
// stream keeps its own small buffer.
static void buffer_output()
{
	const size_t size = 1 << 17;
	if (isatty(STDOUT_FILENO))
		return;
	if (void *block = budget_calloc(size))
		setvbuf(stdout, static_cast<char *>(block), _IOFBF, size);
}

// Bytes for standard output, gathered so that a line goes out in one call.
struct Gather {
	char buf[512];
	size_t len = 0;
};

static void flush(Gather &g)
{
	fwrite(g.buf, 1, g.len, stdout);
	g.len = 0;
}

static void gather(Gather &g, const char *bytes, size_t n)
{
	if (n > sizeof g.buf - g.len) {
		flush(g);
		if (n > sizeof g.buf) {
			fwrite(bytes, 1, n, stdout);
			return;
		}
	}
	memcpy(g.buf + g.len, bytes, n);
	g.len += n;
}

static void gather_fixed4(Gather &g, double v)
{
	if (sizeof g.buf - g.len < FIXED4_MAX)
		flush(g);
	g.len += format_fixed4(v, g.buf + g.len);
}

// The line, len bytes, with the texts of its point's numbers replaced by
// the point mapped by t4, "%.4f" each; every other byte stays.
static void print_point(const float t4[16], const char *line, size_t len, const Point &p)
{
	float out[3];
	map_point(t4, p.xyz, out);
	int order[3] = {0, 1, 2};  // the coordinates in the order they stand
	std::sort(order, order + 3, [&p](int a, int b) { return p.begin[a] < p.begin[b]; });
	Gather g;
	const char *at = line;
	for (int i : order) {
		gather(g, at, size_t(p.begin[i] - at));
		gather_fixed4(g, out[i]);
		at = p.end[i];
	}
	gather(g, at, size_t(line + len - at));
	flush(g);
}

// Maps every point of fp, named name in messages; stops early once standard
// output has failed, which exit_success reports.
static void map_points(const float t4[16], LineReader &in, FILE *fp, const char *name)
{
	long long number = 0;
	Table table;
	while (!ferror(stdout) && read_line(in, fp)) {
		number++;
		Point p;
		switch (read_point_line(table, in.line, p)) {
		case PointLine::verbatim:
			fwrite(in.line, 1, in.len, stdout);
			break;
		case PointLine::point:
			print_point(t4, in.line, in.len, p);
			break;
		case PointLine::bad:
			report(Fault::format, name, number);
		}
		// A NUL ends the text of a line but not the line: its newline
		// was read, and is kept so that the lines stay lines.
		bool newline = in.len > 0 && in.line[in.len - 1] == '\n';
		if (!newline && !feof(fp))
			putchar('\n');
	}
	if (in.fault != Fault::none)
		report(in.fault, name);
}

int main(int argc, char *argv[])
{
	begin_run(argv, nullptr, usage);

	check_arguments(argc, argv, {"i", "", 1, 2}, stdout);
	const char *path[2] = {nullptr, nullptr};
	positionals(argc, argv, path, 2);
	bool inverse = option_count(argc, argv, 'i') > 0;

	float t4[16], scale;
	if (Fault fault = load_xfm(path[0], t4, scale); fault != Fault::none)
		report(fault, path[0]);
	// A_to_B_t4 maps B to A; its inverse, unrounded, maps A to B.
	if (inverse)
		xfmreverse(t4, t4);

	LineReader in;
	FILE *fp;
	const char *name = path[1] ? path[1] : "-";
	if (path[1]) {
		if (!(fp = open_lines(in, path[1])))
			report(in.fault, path[1]);
	} else {
		fp = stdin;
		if (!buffer_lines(in, stdin))
			report(in.fault, name);
	}
	buffer_output();
	map_points(t4, in, fp, name);
	if (fp != stdin)
		fclose(fp);
	exit_success();
}
