// xfm_reverse: inverts a transform file and its intensity scale.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/args.h"
#include "common/ieee.h"
#include "common/prog.h"
#include "xfm/t4.h"
#include "xfm/xfmreverse.h"

static const char rcsid[] = "$Id: xfm_reverse.cpp,v 1.1 2026/12/08 12:00:00 regkit Exp $";

static void usage(FILE *out)
{
	fprintf(out, "Usage:\t%s <t4file> [inv_t4file]\n", program);
	fprintf(out, "e.g.,\t%s qx42c_anat_ave_to_qx42c_234-3_t4 [qx42c_234-3_to_qx42c_anat_ave_t4]\n",
	        program);
	fprintf(out, "\toption\n");
	fprintf(out, "\t-u\tsuppress (intensity) scale field in output\n");
}

int main(int argc, char *argv[])
{
	begin_run(argv, rcsid, usage);

	const char *path[2] = {nullptr, ""};
	if (positionals(argc, argv, path, 2) < 1)
		exit_usage(stdout);
	int suppress = option_count(argc, argv, 'u');

	float m[16], scale;
	if (Fault fault = load_xfm(path[0], m, scale, Echo::listed); fault != Fault::none)
		report(fault, path[0]);

	// By default A_to_B_t4 gives B_to_A_t4 in the working directory.
	std::string out = path[1];
	if (out.empty() && !inverse_name(path[0], out))
		exit(1);

	float r[16];
	xfmreverse(m, r);
	t4list(stdout, r);

	float outscale = 0;
	if (!suppress && scale != 0) {
		outscale = fp_div(1.0f, scale);
		printf("scale: %.6f\n", outscale);
	}

	if (Fault fault = write_xfm(out.c_str(), nullptr, r, outscale); fault != Fault::none)
		report(fault, out.c_str());
	exit_success();
}
