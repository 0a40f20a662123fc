#include "shuffle/numbers.h"

#include "common/args.h"
#include "common/integers.h"

int seed_option(int argc, char *const argv[])
{
	int seed = 0;
	for (int at = 0; const char *option = next_option(argc, argv, "s", at);)
		seed = read_low32(option + 1);
	return seed;
}
