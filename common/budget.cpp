#include "common/budget.h"

#include <malloc.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>

#include "common/cgroup.h"

// Room for what the programs use whatever their input: code, data, stack,
// stream buffers, and what the kernel keeps for the process. The largest
// measured (shuffle, lag_pool) is under 1.6 MiB of address space and
// 1.3 MiB charged to a memory cgroup; the rest is margin.
static const uint64_t own_use = 4 << 20;

// Totals up to this are granted without looking at the limits: reading
// them costs more than a transform tool's whole run.
static const uint64_t small_total = 1 << 20;

uint64_t memory_budget(const MemoryLimits &limits)
{
	return std::min({limits.physical, limits.address_space, limits.data, limits.cgroup});
}

bool needs_no_limits(uint64_t taken, uint64_t bytes)
{
	return taken <= small_total && bytes <= small_total - taken;
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

MemoryLimits process_limits()
{
	long pages = sysconf(_SC_PHYS_PAGES), size = sysconf(_SC_PAGESIZE);
	uint64_t physical = pages > 0 && size > 0 ? uint64_t(pages) * uint64_t(size) : UINT64_MAX;
	return {physical, rlimit(RLIMIT_AS), rlimit(RLIMIT_DATA), cgroup_memory_limit()};
}

// Buffers grow on every thread that reads.
static std::mutex lock;
static uint64_t taken, budget = UINT64_MAX;
static bool known;

// Of what is taken, the bytes of files whose pages are memory (tmpfs): they
// are charged to the cgroup and take the machine's memory, but are no part
// of the address space, so only those two limits bound them.
static uint64_t in_files, page_budget = UINT64_MAX;

// Whether bytes more fit. A small total always does, whether the limits
// have been read or not, so that what a run may do never depends on when
// they were read. They are read once, when the total first grows past it.
// From then on a large block is always mapped on its own, so that freeing
// it gives its memory back: by default the C library would move the bar up
// to the largest block freed and keep later ones in its heap, where freed
// memory stays with the process.
static bool room_for(size_t bytes, bool file = false)
{
	if (needs_no_limits(taken, bytes))
		return true;
	if (!known) {
		MemoryLimits limits = process_limits();
		budget = memory_budget(limits);
		page_budget = std::min(limits.physical, limits.cgroup);
		known = true;
		mallopt(M_MMAP_THRESHOLD, 128 << 10);
	}
	return fits(taken, bytes, page_budget) && (file || fits(taken - in_files, bytes, budget));
}

bool budget_take(size_t bytes)
{
	std::lock_guard<std::mutex> hold(lock);
	if (!room_for(bytes))
		return false;
	taken += bytes;
	return true;
}

bool budget_take_file(size_t bytes)
{
	std::lock_guard<std::mutex> hold(lock);
	if (!room_for(bytes, true))
		return false;
	taken += bytes;
	in_files += bytes;
	return true;
}

void budget_give(size_t bytes)
{
	std::lock_guard<std::mutex> hold(lock);
	taken -= std::min<uint64_t>(bytes, taken - in_files);
}

bool budget_has(size_t bytes)
{
	std::lock_guard<std::mutex> hold(lock);
	return room_for(bytes);
}

uint64_t budget_taken()
{
	std::lock_guard<std::mutex> hold(lock);
	return taken;
}

static const size_t huge = 2 << 20;

// A mapping of bytes that starts on a huge page boundary: a larger one is
// made and its ends cut off.
static void *map_aligned(size_t bytes)
{
	size_t length = bytes + huge;
	if (length < bytes)
		return nullptr;
	void *p = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
	if (p == MAP_FAILED)
		return nullptr;
	char *start = static_cast<char *>(p), *end = start + length;
	char *aligned = start + (huge - reinterpret_cast<uintptr_t>(start) % huge) % huge;
	size_t page = sysconf(_SC_PAGESIZE);
	char *tail = aligned + (bytes + page - 1) / page * page;
	if (aligned > start)
		munmap(start, aligned - start);
	if (end > tail)
		munmap(tail, end - tail);
#ifdef MADV_HUGEPAGE
	// Only advice: without huge pages the block works the same, slower.
	madvise(aligned, bytes / huge * huge, MADV_HUGEPAGE);
#endif
	return aligned;
}

void *bigalloc(size_t bytes)
{
	if (!budget_take(bytes))
		return nullptr;
	void *p = bytes < huge ? malloc(bytes ? bytes : 1) : map_aligned(bytes);
	if (!p)
		budget_give(bytes);
	return p;
}

void bigfree(void *p, size_t bytes)
{
	if (!p)
		return;
	if (bytes < huge)
		free(p);
	else
		munmap(p, bytes);
	budget_give(bytes);
}

Buffer &Buffer::operator=(Buffer &&from) noexcept
{
	if (this != &from) {
		release(*this);
		std::swap(data, from.data);
		std::swap(cap, from.cap);
	}
	return *this;
}

Buffer::~Buffer()
{
	release(*this);
}

void release(Buffer &buf)
{
	free(buf.data);
	budget_give(buf.cap);
	buf.data = nullptr;
	buf.cap = 0;
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
