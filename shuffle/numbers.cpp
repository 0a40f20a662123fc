#include "shuffle/numbers.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

int low32(const char *s)
{
	return int(uint32_t(strtol(s, nullptr, 10)));
}

int seed_option(int argc, char *const argv[])
{
	int seed = 0;
	for (int i = 1; i < argc; i++) {
		const char *s = argv[i][0] == '-' ? strchr(argv[i], 's') : nullptr;
		if (s)
			seed = low32(s + 1);
	}
	return seed;
}
