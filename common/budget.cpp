#include "common/budget.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

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

static uint64_t read_limit(const std::string &path)
{
	FILE *fp = fopen(path.c_str(), "r");
	if (!fp)
		return UINT64_MAX;
	char text[64] = "";
	bool got = fgets(text, sizeof text, fp) != nullptr;
	fclose(fp);
	return got ? parse_limit(text) : UINT64_MAX;
}

// The least limit in file `name` of the cgroup at `path` below `root` and of
// every cgroup above it: a parent's limit binds its children too.
static uint64_t least_on_path(const std::string &root, std::string path, const char *name)
{
	uint64_t least = UINT64_MAX;
	for (;;) {
		least = std::min(least, read_limit(root + path + "/" + name));
		size_t slash = path.rfind('/');
		if (slash == std::string::npos || path.empty())
			return least;
		path.resize(slash);
	}
}

static bool has_controller(const std::string &list, const char *name)
{
	size_t start = 0;
	for (;;) {
		size_t comma = list.find(',', start);
		if (list.compare(start, comma - start, name) == 0)
			return true;
		if (comma == std::string::npos)
			return false;
		start = comma + 1;
	}
}

// Lines of /proc/self/cgroup read "id:controllers:path"; the unified (v2)
// hierarchy has id 0 and no controllers.
static uint64_t cgroup_limit()
{
	FILE *fp = fopen("/proc/self/cgroup", "r");
	if (!fp)
		return UINT64_MAX;
	uint64_t least = UINT64_MAX;
	char *line = nullptr;
	size_t cap = 0;
	ssize_t len;
	while ((len = getline(&line, &cap, fp)) > 0) {
		std::string text(line, len);
		if (text.back() == '\n')
			text.pop_back();
		size_t first = text.find(':'), second = text.find(':', first + 1);
		if (first == std::string::npos || second == std::string::npos)
			continue;
		std::string controllers = text.substr(first + 1, second - first - 1);
		std::string path = text.substr(second + 1);
		if (path == "/")
			path.clear();
		if (text.compare(0, first, "0") == 0 && controllers.empty()) {
			least = std::min(least, least_on_path("/sys/fs/cgroup", path, "memory.max"));
			least = std::min(least, least_on_path("/sys/fs/cgroup/unified", path, "memory.max"));
		} else if (has_controller(controllers, "memory")) {
			least = std::min(least, least_on_path("/sys/fs/cgroup/memory", path,
			                                       "memory.limit_in_bytes"));
		}
	}
	free(line);
	fclose(fp);
	return least;
}

MemoryLimits process_limits()
{
	long pages = sysconf(_SC_PHYS_PAGES), size = sysconf(_SC_PAGESIZE);
	uint64_t physical = pages > 0 && size > 0 ? uint64_t(pages) * uint64_t(size) : UINT64_MAX;
	return {physical, rlimit(RLIMIT_AS), rlimit(RLIMIT_DATA), cgroup_limit()};
}

static uint64_t taken;

bool budget_take(size_t bytes)
{
	static uint64_t budget = UINT64_MAX;
	static bool known;
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
	taken -= std::min<uint64_t>(bytes, taken);
}
