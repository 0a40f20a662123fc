#include "shuffle/numbers.h"

#include <cstring>

#include "common/integers.h"

int seed_option(int argc, char *const argv[])
{
	int seed = 0;
	for (int i = 1; i < argc; i++) {
		const char *s = argv[i][0] == '-' ? strchr(argv[i], 's') : nullptr;
		if (s)
			seed = read_low32(s + 1);
	}
	return seed;
}
