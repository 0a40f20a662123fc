// xfm_info: the translation, rotation, scales and shears of transform files.
#include <cstdio>
#include <cstdlib>

#include "common/args.h"
#include "common/header.h"
#include "common/prog.h"
#include "xfm/t4.h"
#include "xfm_info/decompose.h"

static void usage(FILE *out)
{
	fprintf(out, "Usage:\t%s <t4file> [t4file...]\n", program);
	fprintf(out, "e.g.,\t%s qx42c_anat_ave_to_qx42c_234-3_t4\n", program);
	fprintf(out, "\toption\n");
}

// "label" padded to 12 columns, then three values in fields of 12. An
// exact zero prints unsigned: adding +0 turns -0 into +0.
static void print_three(const char *label, const char *format, const double v[3])
{
	printf("%-12s", label);
	for (int i = 0; i < 3; i++)
		printf(format, v[i] + 0.0);
	printf("\n");
}

// A part of a singular matrix is undefined.
static void print_part(const char *label, const char *format, const double v[3], bool singular)
{
	if (singular)
		printf("%-12sundefined\n", label);
	else
		print_three(label, format, v);
}

static void print_block(const char *path, const float t4[16], float scale)
{
	Decomposition d = decompose(t4);
	double translation[3] = {t4[12], t4[13], t4[14]};
	printf("# %s\n", one_line(path).c_str());
	print_three("translation", "%12.4f", translation);
	print_part("rotation", "%12.4f", d.angles, d.singular);
	print_part("scales", "%12.6f", d.scales, d.singular);
	print_part("shears", "%12.6f", d.shears, d.singular);
	printf("%-12s%12.6f\n", "determinant", d.determinant + 0.0);
	printf("%-12s%s\n", "rigid", d.rigid ? "yes" : "no");
	if (scale != 0)
		printf("%-12s%12.6f\n", "scale", double(scale));
	else
		printf("%-12snone\n", "scale");
}

int main(int argc, char *argv[])
{
	begin_run(argv, nullptr, usage);

	const char *first;
	if (positionals(argc, argv, &first, 1) < 1)
		exit_usage(stdout);
	bool later = false;
	for (int at = 0; const char *path = next_positional(argc, argv, at);) {
		float t4[16], scale;
		if (Fault fault = load_xfm(path, t4, scale); fault != Fault::none)
			report(fault, path);
		if (later)
			printf("\n");
		print_block(path, t4, scale);
		later = true;
	}
	exit_success();
}
