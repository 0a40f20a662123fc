// xfm_info: the translation, rotation, scales and shears of transform files.
#include <cstdio>
#include <cstdlib>

#include "common/args.h"
#include "common/header.h"
#include "common/prog.h"
#include "xfm/decompose.h"
#include "xfm/t4.h"

static void usage(FILE *out)
{
	fprintf(out, "Usage:\t%s <t4file> [t4file...]\n", program);
	fprintf(out, "e.g.,\t%s qx42c_anat_ave_to_qx42c_234-3_t4\n", program);
	fprintf(out, "\toption\n");
}

// "label" padded to 12 columns, then n values in fields of 12 with the
// given decimals, each a blank and a field of 11: a value that fills its
// field stays apart from the one before. An exact zero prints unsigned:
// adding +0 turns -0 into +0.
static void print_values(const char *label, int decimals, const double *v, int n)
{
	printf("%-12s", label);
	for (int i = 0; i < n; i++)
		printf(" %11.*f", decimals, v[i] + 0.0);
	printf("\n");
}

// A part of a singular matrix is undefined.
static void print_part(const char *label, int decimals, const double v[3], bool singular)
{
	if (singular)
		printf("%-12sundefined\n", label);
	else
		print_values(label, decimals, v, 3);
}

static void print_block(const char *path, const float t4[16], float scale)
{
	Decomposition d = decompose(t4);
	double translation[3] = {t4[12], t4[13], t4[14]};
	printf("# %s\n", one_line(path).c_str());
	print_values("translation", 4, translation, 3);
	print_part("rotation", 4, d.angles, d.singular);
	print_part("scales", 6, d.scales, d.singular);
	print_part("shears", 6, d.shears, d.singular);
	print_values("determinant", 6, &d.determinant, 1);
	printf("%-12s%s\n", "rigid", d.rigid ? "yes" : "no");
	double intensity = scale;
	if (scale != 0)
		print_values("scale", 6, &intensity, 1);
	else
		printf("%-12snone\n", "scale");
}

int main(int argc, char *argv[])
{
	begin_run(argv, nullptr, usage);

	check_arguments(argc, argv, {"", "", 1, -1}, stdout);
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
