// xfm_rms: how far transform files move the points of a head-sized sphere,
// from the identity or from one another.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/args.h"
#include "common/prog.h"
#include "xfm/rms.h"
#include "xfm/t4.h"

static void usage(FILE *out)
{
	fprintf(out, "Usage:\t%s <t4file> [t4file...]\n", program);
	fprintf(out, "e.g.,\t%s -r80 qx42c_234-3_to_qx42c_234-1_t4 qx42c_234-4_to_qx42c_234-1_t4\n", program);
	fprintf(out, "\toption\n");
	fprintf(out, "\t-r<flt>\tradius of the sphere in mm (default 80)\n");
	fprintf(out, "\t-c<flt>,<flt>,<flt>\tcentre of the sphere in mm (default 0,0,0)\n");
}

static void load(const char *path, float t4[16])
{
	float scale;
	if (Fault fault = load_xfm(path, t4, scale); fault != Fault::none)
		report(fault, path);
}

int main(int argc, char *argv[])
{
	begin_run(argv, nullptr, usage);

	check_arguments(argc, argv, {"", "rc", 1, -1}, stdout);
	Sphere ball;
	if (!sphere_options(argc, argv, ball))
		exit_usage(stdout);

	// One file is measured against the identity, several pair by pair.
	float previous[16], current[16];
	int files = 0;
	for (int at = 0; const char *path = next_positional(argc, argv, at);) {
		load(path, current);
		if (files > 0)
			printf("%.4f\n", rms_difference(previous, current, ball));
		files++;
		memcpy(previous, current, sizeof current);
	}
	if (files == 1)
		printf("%.4f\n", rms_difference(current, identity_t4, ball));
	exit_success();
}
