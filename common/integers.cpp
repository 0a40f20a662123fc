#include "common/integers.h"

#include <cstdlib>

// long long is 64 bits on every Linux target; strtoll reads and saturates
// as x86-64's strtol does.
static_assert(sizeof(long long) == sizeof(int64_t));

int64_t read_int64(const char *s, char **end)
{
	return strtoll(s, end, 10);
}

int32_t read_low32(const char *s)
{
	return int32_t(uint32_t(uint64_t(read_int64(s))));
}
