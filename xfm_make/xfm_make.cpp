// xfm_make: writes a transform file from its translation, rotation, scales
// and shears.
#include <cstdio>

#include "common/args.h"
#include "common/prog.h"
#include "xfm/t4.h"
#include "xfm_make/make.h"

static const char rcsid[] = "$Id: xfm_make.cpp,v 1.1 2026/12/09 12:00:00 regkit Exp $";

static void usage(FILE *out)
{
	fprintf(out,
	        "Usage:\t%s <t4file>\n"
	        "e.g.,\t%s -r0,0,2 -t0,0,1.5 qx42c_mpr1_to_905-7K_t4\n"
	        "\toption\n"
	        "\t-t<flt>,<flt>,<flt>\ttranslation in mm (default 0,0,0)\n"
	        "\t-r<flt>,<flt>,<flt>\tturns about x, y and z in degrees (default 0,0,0)\n"
	        "\t-s<flt>,<flt>,<flt>\tscales along x, y and z, none 0 (default 1,1,1)\n"
	        "\t-k<flt>,<flt>,<flt>\tshears xy, xz and yz (default 0,0,0)\n"
	        "\t-a<flt>\tintensity scale (default none)\n",
	        program, program);
}

int main(int argc, char *argv[])
{
	begin_run(argv, rcsid, usage);

	check_arguments(argc, argv, {"", "trska", 1, 1}, stdout);
	const char *path;
	positionals(argc, argv, &path, 1);
	Parts parts;
	float t4[16], scale;
	if (!part_options(argc, argv, parts, scale) || !make_xfm(parts, t4))
		exit_usage(stdout);
	if (Fault fault = write_xfm(path, nullptr, t4, scale); fault != Fault::none)
		report(fault, path);
	exit_success();
}
