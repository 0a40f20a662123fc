// xfm_unit: writes a transform file holding the identity.
#include <cstdio>

#include "common/args.h"
#include "common/prog.h"
#include "xfm/t4.h"

static const char rcsid[] = "$Id: xfm_unit.cpp,v 1.1 2026/12/08 12:00:00 regkit Exp $";

static void usage(FILE *out)
{
	fprintf(out, "Usage:\t%s <t4file>\n", program);
	fprintf(out, "e.g.,\t%s qx42c_mpr1_to_905-7K_t4\n", program);
}

int main(int argc, char *argv[])
{
	begin_run(argv, rcsid, usage);

	const char *path;
	if (positionals(argc, argv, &path, 1) < 1)
		exit_usage(stdout);

	if (Fault fault = write_xfm(path, nullptr, identity_t4, 0); fault != Fault::none)
		report(fault, path);
	exit_success();
}
