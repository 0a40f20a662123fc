// shuffle: prints 1..n in an order fixed by a seed.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "common/args.h"
#include "common/budget.h"
#include "common/integers.h"
#include "common/prog.h"
#include "shuffle/numbers.h"
#include "shuffle/order.h"
#include "shuffle/permute.h"

static void usage(FILE *out)
{
	fprintf(out, "Usage: %s <int n>\n", program);
	fprintf(out, " e.g., %s 31 -s10\n", program);
	fprintf(out, "\toption\n");
	fprintf(out, "\t-s<int>\tspecifcy randomization seed\n");
	fprintf(out,
	        "N.B.:\t%s prints to stdout seed-dependent randomly permuted integers"
	        " in the range [1 <n>]\n",
	        program);
}

// Prints order[i] + 1 with "%d " for every i, in big blocks; stops once
// standard output has failed, which exit_success reports.
static void print_order(const int *order, int n)
{
	static const int block = 1 << 15;
	static char buf[block * 11];
	for (int i = 0; i < n && !ferror(stdout);) {
		int count = std::min<int>(block, n - i);
		fwrite(buf, 1, format_order(buf, order + i, count), stdout);
		i += count;
	}
}

int main(int argc, char *argv[])
{
	begin_run(argv, nullptr, usage);

	const char *count;
	if (positionals(argc, argv, &count, 1) < 1)
		exit_usage(stdout);
	int n = read_low32(count);
	int seed = seed_option(argc, argv);

	int64_t bytes = int64_t(n) * int64_t(sizeof(int));
	int *order = bytes < 0 ? nullptr : static_cast<int *>(bigalloc(size_t(bytes)));
	if (!order) {
		printf("%s: memory allocation error\n", program);
		exit(255);
	}
	if (seed == 0) {
		for (int i = 0; i < n; i++)
			order[i] = i;
	} else if (!permute(order, n, uint32_t(seed))) {
		report_as("permute", Fault::memory, nullptr);
	}
	print_order(order, n);
	bigfree(order, size_t(bytes));
	exit_success();
}
