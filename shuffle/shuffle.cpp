// shuffle: prints 1..n in an order fixed by a seed.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "common/args.h"
#include "common/budget.h"
#include "common/integers.h"
#include "common/prog.h"
#include "shuffle/args.h"
#include "shuffle/order.h"
#include "shuffle/permute.h"

const char rcsid[] = "$Id: shuffle.cpp,v 1.1 2026/12/08 12:00:00 regkit Exp $";

[[noreturn]] static void usage()
{
	printf("Usage: %s <int n>\n", program);
	printf(" e.g., %s 31 -s10\n", program);
	printf("\toption\n");
	printf("\t-s<int>\tspecifcy randomization seed\n");
	printf("N.B.:\t%s prints to stdout seed-dependent randomly permuted integers in the range [1 <n>]\n",
	       program);
	exit(1);
}

// Prints order[i] + 1 with "%d " for every i, in big blocks; stops once
// standard output has failed, which exit_success reports.
static void print_order(const int *order, int n)
{
	enum { BLOCK = 1 << 15 };
	static char buf[BLOCK * 11];
	for (int i = 0; i < n && !ferror(stdout);) {
		int count = std::min<int>(BLOCK, n - i);
		fwrite(buf, 1, format_order(buf, order + i, count), stdout);
		i += count;
	}
}

int main(int argc, char *argv[])
{
	begin_run(argv);

	const char *count;
	if (positionals(argc, argv, &count, 1) < 1)
		usage();
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
		fputs("permute: memory allocation error\n", stderr);
		exit(255);
	}
	print_order(order, n);
	budget_free(order, size_t(bytes));
	exit_success();
}
