#include "common/budget.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <string>

#include "common/cgroup.h"

// Room for the program's code, stack and stream buffers.
static const uint64_t own_use = 16 << 20;

// Totals below this are granted without looking at the limits.
static const uint64_t small_total = 64 << 20;

uint64_t memory_budget(const MemoryLimits &limits)
{
	return std::min({limits.physical, limits.address_space, limits.data, limits.cgroup});
}

uint64_t parse_limit(const char *text)
{
	char *end;
	errno = 0;
	unsigned long long value = strtoull(text, &end, 10);
	if (end == text || errno != 0)
		return UINT64_MAX;
	return value;
}

bool fits(uint64_t taken, uint64_t bytes, uint64_t budget)
{
	if (budget < own_use)
		return false;
	uint64_t room = budget - own_use;
	return taken <= room && bytes <= room - taken;
}

static uint64_t rlimit(int resource)
{
	struct rlimit rl;
	if (getrlimit(resource, &rl) != 0 || rl.rlim_cur == RLIM_INFINITY)
		return UINT64_MAX;
	return rl.rlim_cur;
}

// The least memory limit of the cgroups above the process: v2 memory.max,
// v1 memory.limit_in_bytes. "max", or no such file, is no limit.
static uint64_t cgroup_limit()
{
	uint64_t least = UINT64_MAX;
	for (const std::string &dir : cgroup_dirs("memory")) {
		for (const char *name : {"/memory.max", "/memory.limit_in_bytes"}) {
			std::string text = first_line(dir + name);
			if (!text.empty())
				least = std::min(least, parse_limit(text.c_str()));
		}
	}
	return least;
}

MemoryLimits process_limits()
{
	long pages = sysconf(_SC_PHYS_PAGES), size = sysconf(_SC_PAGESIZE);
	uint64_t physical = pages > 0 && size > 0 ? uint64_t(pages) * uint64_t(size) : UINT64_MAX;
	return {physical, rlimit(RLIMIT_AS), rlimit(RLIMIT_DATA), cgroup_limit()};
}

// Buffers grow on every thread that reads.
static std::mutex lock;
static uint64_t taken;

bool budget_take(size_t bytes)
{
	static uint64_t budget = UINT64_MAX;
	static bool known;
	std::lock_guard<std::mutex> hold(lock);
	if (!known && (taken > small_total || bytes > small_total - taken)) {
		budget = memory_budget(process_limits());
		known = true;
	}
	if (known && !fits(taken, bytes, budget))
		return false;
	taken += bytes;
	return true;
}

void budget_give(size_t bytes)
{
	std::lock_guard<std::mutex> hold(lock);
	taken -= std::min<uint64_t>(bytes, taken);
}

Buffer::~Buffer()
{
	free(data);
	budget_give(cap);
}

bool reserve(Buffer &buf, size_t need)
{
	if (need <= buf.cap)
		return true;
	size_t size = std::max(need, buf.cap <= SIZE_MAX / 2 ? 2 * buf.cap : SIZE_MAX);
	if (!budget_take(size))
		return false;
	char *data = static_cast<char *>(realloc(buf.data, size));
	if (!data) {
		budget_give(size);
		return false;
	}
	budget_give(buf.cap);
	buf.data = data;
	buf.cap = size;
	return true;
}
