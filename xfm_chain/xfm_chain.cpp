// xfm_chain: composes two transform files, left times right.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/args.h"
#include "common/header.h"
#include "common/ieee.h"
#include "common/prog.h"
#include "xfm/matopr.h"
#include "xfm/t4.h"

static const char rcsid[] = "$Id: xfm_chain.cpp,v 1.1 2026/12/08 12:00:00 regkit Exp $";

static void usage(FILE *out)
{
	fprintf(out, "Usage:\t%s <left_t4file> <right_t4file> [product_t4file]\n", program);
	fprintf(out,
	        "e.g.:\t%s qx42c_anat_ave_to_qx42c_234-3_t4 qx42c_234-3_to_905-7K_t4"
	        " [qx42c_anat_ave_to_905-7K_t4]\n",
	        program);
	fprintf(out, "\toption\n");
}

int main(int argc, char *argv[])
{
	begin_run(argv, rcsid, usage);

	const char *path[3] = {nullptr, nullptr, ""};
	if (positionals(argc, argv, path, 3) < 2)
		exit_usage(stdout);

	float left[16], right[16], product[16], lscale, rscale;
	if (Fault fault = load_xfm(path[0], left, lscale, Echo::listed); fault != Fault::none)
		report(fault, path[0]);
	if (Fault fault = load_xfm(path[1], right, rscale, Echo::listed); fault != Fault::none)
		report(fault, path[1]);

	matmul(left, right, product, 4);
	float pscale = fp_mul(lscale, rscale);
	list_xfm(product, pscale);

	// By default A_to_B_t4 and B_to_C_t4 give A_to_C_t4 in the working
	// directory; the inner names must agree.
	std::string out = path[2];
	if (out.empty() && !product_name(path[0], path[1], out))
		exit(1);

	std::string comment = "#product transform=[" + one_line(path[0]) + "][" + one_line(path[1]) + "]\n";
	if (Fault fault = write_xfm(out.c_str(), comment.c_str(), product, pscale); fault != Fault::none)
		report(fault, out.c_str());
	exit_success();
}
