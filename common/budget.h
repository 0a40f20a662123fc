// The memory a run may have. On Linux an allocation rarely fails: a process
// that outgrows its memory cgroup or the machine is killed instead, with no
// message. So every buffer that grows with the input asks here before it is
// allocated or grown, and a request that does not fit becomes the program's
// memory allocation error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// What bounds the memory of a process; UINT64_MAX where nothing does.
struct MemoryLimits {
	uint64_t physical;       // the machine's memory
	uint64_t address_space;  // RLIMIT_AS
	uint64_t data;           // RLIMIT_DATA
	uint64_t cgroup;         // the least memory limit of the cgroup and those above it
};

// The least of the limits.
uint64_t memory_budget(const MemoryLimits &limits);

// The limits of this process: sysconf, getrlimit and the cgroup's files
// (v2 memory.max, v1 memory.limit_in_bytes; "max" or no file is no limit).
MemoryLimits process_limits();

// Whether a run that holds `taken` bytes may take `bytes` more within
// `budget`, leaving room for the program itself.
bool fits(uint64_t taken, uint64_t bytes, uint64_t budget);

// Whether it may take them without looking at its limits at all: while the
// total stays within 1 MiB, which every limit leaves room for.
bool needs_no_limits(uint64_t taken, uint64_t bytes);

// Takes bytes from this run's budget, beside what it holds already; false,
// taking nothing, when they do not fit. Small totals are granted without
// reading any limit, so that short runs pay nothing for the check.
bool budget_take(size_t bytes);

// Takes bytes of a file whose pages are memory (tmpfs, ramfs): they count
// against the cgroup's limit and the machine's memory, not against the
// limits of the address space. They are never given back: the file keeps
// them when the run is over.
bool budget_take_file(size_t bytes);

// Gives back bytes taken before, once their buffer is freed or replaced.
void budget_give(size_t bytes);

// Whether bytes more would fit beside what is held now; takes nothing.
bool budget_has(size_t bytes);

// The bytes taken and not given back.
uint64_t budget_taken();

// Zero-filled bytes within the budget: null, taking nothing, when they do
// not fit or cannot be had. Freed, and given back, by budget_free.
inline void *budget_calloc(size_t bytes)
{
	if (!budget_take(bytes))
		return nullptr;
	void *p = calloc(bytes, 1);
	if (!p)
		budget_give(bytes);
	return p;
}

// Frees p, if any, taken for bytes from the budget.
inline void budget_free(void *p, size_t bytes)
{
	if (!p)
		return;
	free(p);
	budget_give(bytes);
}

// Memory for an array that grows with the input, within the budget: null,
// taking nothing, when it does not fit or cannot be had. Freed, and given
// back, by bigfree with the same size. A large block is mapped on its own
// and given back to the system when freed; it is placed on huge page
// boundaries and marked for huge pages, since faulting fresh memory in page
// by page costs more than filling it.
void *bigalloc(size_t bytes);
void bigfree(void *p, size_t bytes);

// Bytes that grow within the budget; freed and given back with it. A
// buffer moves, leaving an empty one behind, but is never copied.
struct Buffer {
	char *data = nullptr;
	size_t cap = 0;

	Buffer() = default;
	Buffer(Buffer &&from) noexcept : data(from.data), cap(from.cap)
	{
		from.data = nullptr;
		from.cap = 0;
	}
	Buffer &operator=(Buffer &&from) noexcept;
	~Buffer();
};

// Makes room for at least need bytes, at least doubling the buffer and
// keeping what it holds. False, leaving it as it was, when that does not fit
// the budget or cannot be allocated.
bool reserve(Buffer &buf, size_t need);

// Frees what the buffer holds and gives it back; the buffer is then empty.
void release(Buffer &buf);
