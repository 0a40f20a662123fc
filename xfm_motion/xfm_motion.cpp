// xfm_motion: framewise displacement and RMS motion of a series of
// transform files, one per frame, and the frames to censor.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/args.h"
#include "common/integers.h"
#include "common/prog.h"
#include "xfm/rms.h"
#include "xfm/t4.h"
#include "xfm_motion/censor.h"
#include "xfm_motion/motion.h"

static void usage(FILE *out)
{
	fprintf(out,
	        "Usage:\t%s [-r<flt>] [-c<flt>,<flt>,<flt>] [-d<flt>] [-f<flt> [-b<int>] [-a<int>] "
	        "[-s<int>]] <t4file> [t4file...]\n",
	        program);
	fprintf(out,
	        "e.g.,\t%s -f0.5 -b1 -a2 frame0001_to_frame0000_t4 frame0002_to_frame0000_t4 "
	        "frame0003_to_frame0000_t4\n",
	        program);
	fprintf(out, "\toption\n");
	fprintf(out, "\t-r<flt>\tradius of the RMS sphere in mm (default 80)\n");
	fprintf(out, "\t-c<flt>,<flt>,<flt>\tcentre of the sphere and of the head in mm (default 0,0,0)\n");
	fprintf(out, "\t-d<flt>\thead radius in mm that turns rotations into displacement (default 50)\n");
	fprintf(out, "\t-f<flt>\tcensor the frames whose framewise displacement exceeds this many mm\n");
	fprintf(out, "\t-b<int>\twith -f, also censor this many frames before each (default 0)\n");
	fprintf(out, "\t-a<int>\twith -f, also censor this many frames after each (default 0)\n");
	fprintf(out,
	        "\t-s<int>\twith -f, also censor the runs of kept frames shorter than this (default 1)\n");
}

struct Settings {
	Sphere ball;
	double head = 50;
	bool censoring = false;
	CensorRules rules = {};
};

// One frame's row: its framewise displacement, RMS difference to the frame
// before and RMS difference to the identity.
struct Row {
	double fd, rms, rms_ref;
};

// A positive finite number, or the run is refused.
static double positive(const char *value, const char *what)
{
	double x;
	if (!option_numbers(value, &x, 1) || !(x > 0))
		exit_refused(stdout, what, value);
	return x;
}

// A count of frames of decimal digits, at least fewest, or the run is refused.
static int64_t count(const char *value, int64_t fewest, const char *what)
{
	bool digits = *value != '\0';
	for (const char *c = value; *c; c++)
		digits = digits && *c >= '0' && *c <= '9';
	if (!digits || read_int64(value) < fewest)
		exit_refused(stdout, what, value);
	return read_int64(value);
}

// The values of the options, a later one overriding an earlier.
static Settings settings(int argc, char *argv[])
{
	Settings s;
	const char *lone = nullptr;  // a censor rule given without -f
	for (int at = 0; const char *option = next_option(argc, argv, "rcdfbas", at);) {
		const char *value = option + 1;
		switch (*option) {
		case 'r':
			s.ball.radius = positive(value, "-r takes a positive radius in mm: ");
			break;
		case 'c':
			if (!option_numbers(value, s.ball.centre, 3))
				exit_refused(stdout, "-c takes a centre of three numbers, x,y,z: ", value);
			break;
		case 'd':
			s.head = positive(value, "-d takes a positive head radius in mm: ");
			break;
		case 'f':
			s.rules.threshold = positive(value, "-f takes a positive displacement in mm: ");
			s.censoring = true;
			break;
		case 'b':
			s.rules.before = count(value, 0, "-b takes a number of frames, 0 or more: ");
			lone = "-b works only with -f";
			break;
		case 'a':
			s.rules.after = count(value, 0, "-a takes a number of frames, 0 or more: ");
			lone = "-a works only with -f";
			break;
		case 's':
			s.rules.shortest = count(value, 1, "-s takes a number of frames, 1 or more: ");
			lone = "-s works only with -f";
			break;
		}
	}
	if (lone && !s.censoring)
		exit_refused(stdout, lone);
	return s;
}

static void print_table(const std::vector<Row> &rows, const Settings &s)
{
	std::vector<char> censored;
	if (s.censoring) {
		std::vector<double> fd(rows.size());
		for (size_t i = 0; i < rows.size(); i++)
			fd[i] = rows[i].fd;
		censored = censor(fd, s.rules);
	}
	printf("frame\tfd\trms\trms_ref%s\n", s.censoring ? "\tcensored" : "");
	for (size_t i = 0; i < rows.size(); i++) {
		if (i == 0)
			printf("1\tn/a\tn/a\t%.4f", rows[i].rms_ref);
		else
			printf("%zu\t%.4f\t%.4f\t%.4f", i + 1, rows[i].fd, rows[i].rms, rows[i].rms_ref);
		if (s.censoring)
			printf("\t%d", censored[i]);
		printf("\n");
	}
	if (s.censoring)
		printf("# censor: %s\n", runs(censored).c_str());
}

int main(int argc, char *argv[])
{
	begin_run(argv, nullptr, usage);
	check_arguments(argc, argv, Grammar{"", "rcdfbas", 1, -1}, stdout);
	Settings s = settings(argc, argv);

	// Only the frame before is kept; the rows wait for the censor, which
	// looks ahead, and a file that fails leaves no table half written.
	std::vector<Row> rows;
	float previous[16], current[16], scale;
	Pose before = {};
	for (int at = 0; const char *path = next_positional(argc, argv, at);) {
		if (Fault fault = load_xfm(path, current, scale); fault != Fault::none)
			report(fault, path);
		Pose pose = pose_of(current, s.ball.centre);
		Row row = {0, 0, rms_difference(current, identity_t4, s.ball)};
		if (!rows.empty()) {
			row.fd = framewise_displacement(before, pose, s.head);
			row.rms = rms_difference(previous, current, s.ball);
		}
		rows.push_back(row);
		before = pose;
		memcpy(previous, current, sizeof current);
	}
	print_table(rows, s);
	exit_success();
}
