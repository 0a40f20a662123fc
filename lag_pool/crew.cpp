#include "lag_pool/crew.h"

#include <fcntl.h>
#include <malloc.h>
#include <sched.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "common/budget.h"
#include "common/cgroup.h"
#include "common/integers.h"

// A thread's stack. Reading a table takes a few kilobytes of it (fgets,
// the number conversions, the budget's lock): 20 KiB, the C library's data
// for the thread at its top included, were enough for tokens of 200,000
// digits.
static const size_t stack_bytes = 64 << 10;

// What a thread costs the memory budget: its stack, and what the kernel
// keeps for it (its own stack and records), charged to the cgroup.
static const size_t thread_bytes = stack_bytes + (32 << 10);

// The CPU quota of the cgroups above the process, in CPUs rounded up: v2
// cpu.max "QUOTA PERIOD" ("max" is none), v1 cpu.cfs_quota_us (-1 is none)
// over cpu.cfs_period_us.
static int quota_cpus()
{
	int least = INT32_MAX;
	for (const std::string &dir : cgroup_dirs("cpu")) {
		double quota = -1, period = 0;
		std::string v2 = first_line(dir + "/cpu.max");
		if (!v2.empty()) {
			sscanf(v2.c_str(), "%lf %lf", &quota, &period);
		} else {
			quota = atof(first_line(dir + "/cpu.cfs_quota_us").c_str());
			period = atof(first_line(dir + "/cpu.cfs_period_us").c_str());
		}
		if (quota > 0 && period > 0)
			least = std::min(least, std::max(1, int(std::ceil(quota / period))));
	}
	return least;
}

int crew_size()
{
	const char *asked = getenv("REGKIT_THREADS");
	if (asked && *asked) {
		char *end;
		int64_t n = read_int64(asked, &end);
		if (*end == '\0' && n >= 1 && n <= 4096)
			return int(n);
	}
	cpu_set_t set;
	int cpus = sched_getaffinity(0, sizeof set, &set) == 0 ? CPU_COUNT(&set) : 1;
	return std::max(1, std::min(cpus, quota_cpus()));
}

// Opens the table at path for a thread: a regular file, checked before it
// is opened, so that a FIFO is never opened early (which would release its
// writer before its turn), and opened without blocking, so that a file that
// turned into a FIFO meanwhile cannot hold the thread. -1 for any other
// file, and for one that cannot be opened: the driver opens those itself.
static int open_regular(const char *path)
{
	struct stat st;
	if (stat(path, &st) != 0 || !S_ISREG(st.st_mode))
		return -1;
	int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
	if (fd < 0)
		return -1;
	int flags = fcntl(fd, F_GETFL);
	if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || flags < 0 ||
	    fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
		close(fd);
		return -1;
	}
	return fd;
}

// The table at fd as a stream through the worker's stream buffer, or null.
static FILE *table_stream(int fd, Worker &worker)
{
	FILE *fp = fd < 0 ? nullptr : fdopen(fd, "r");
	if (!fp) {
		if (fd >= 0)
			close(fd);
		return nullptr;
	}
	buffer_lines(worker.in, fp);  // the buffer is the worker's own, taken at its start
	return fp;
}

// Reads table after table into free slots until every table is claimed or
// the crew stops. While the worker opens a table, the crew may be abandoned
// (abandon_crew): it then ends without touching the table.
static void *work(void *arg)
{
	Worker &worker = *static_cast<Worker *>(arg);
	Crew &crew = *worker.crew;
	std::unique_lock<std::mutex> hold(crew.lock);
	const int nsub = crew.list->nsub, nslots = crew.nslots;
	for (;;) {
		crew.freed.wait(hold, [&] {
			return crew.stopping || crew.claimed == nsub || crew.claimed < crew.released + nslots;
		});
		if (crew.stopping || crew.claimed == nsub)
			break;
		int t = crew.claimed++;
		const char *path = crew.unclaimed;
		crew.unclaimed = next_path(*crew.list, path);
		worker.opening = true;
		hold.unlock();
		int fd = open_regular(path);
		hold.lock();
		worker.opening = false;
		if (crew.stopping) {
			if (fd >= 0)
				close(fd);
			break;
		}
		hold.unlock();
		FILE *fp = table_stream(fd, worker);
		if (fp)
			read_subject(fp, path, worker.in, crew.nreg, crew.mlag, crew.slots[t % nslots],
			             &crew.stopping);
		hold.lock();
		crew.left[t % nslots] = !fp;
		crew.slot_table[t % nslots] = t;
		crew.filled.notify_all();
	}
	worker.done = true;
	crew.settled.notify_all();
	return nullptr;
}

// Starts the worker's thread on a stack of its own, its reader's buffers
// taken first; false when any of it cannot be had.
static bool start_worker(Crew &crew, Worker &worker)
{
	if (!ready_lines(worker.in) || !budget_take(thread_bytes))
		return false;
	void *stack = mmap(nullptr, stack_bytes, PROT_READ | PROT_WRITE,
	                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
	if (stack == MAP_FAILED) {
		budget_give(thread_bytes);
		return false;
	}
	// A guard page: a stack that overflows faults instead of writing on.
	mprotect(stack, sysconf(_SC_PAGESIZE), PROT_NONE);
	pthread_attr_t attr;
	pthread_attr_init(&attr);
	pthread_attr_setstack(&attr, stack, stack_bytes);
	worker.crew = &crew;
	int error = pthread_create(&worker.thread, &attr, work, &worker);
	pthread_attr_destroy(&attr);
	if (error != 0) {
		munmap(stack, stack_bytes);
		budget_give(thread_bytes);
		return false;
	}
	worker.stack = stack;
	return true;
}

// Starts up to n threads while each fits with room for a slot of `rows`
// bytes left over. Signals are blocked in them, so that a handler always
// runs on the driver's thread. They share the C library's one heap: a heap
// of a thread's own would reserve 64 MiB of address space.
static void start_threads(Crew &crew, int n, size_t rows)
{
	crew.workers.resize(n);
	mallopt(M_ARENA_MAX, 1);
	sigset_t all, old;
	sigfillset(&all);
	pthread_sigmask(SIG_SETMASK, &all, &old);
	for (Worker &worker : crew.workers) {
		if (!budget_has(thread_bytes + rows) || !start_worker(crew, worker))
			break;
		crew.started++;
	}
	pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

// Waits for the worker's thread, which has ended, and gives back its memory.
static void join_worker(Worker &worker)
{
	pthread_join(worker.thread, nullptr);
	munmap(worker.stack, stack_bytes);
	budget_give(thread_bytes);
	release(worker.in.buf);
	release(worker.in.block);
	worker.joined = true;
}

// Whether the crew's threads read the tables.
static bool running(const Crew &crew)
{
	return crew.started > 0 && !crew.stopping;
}

// Stops the threads and gives back their memory and every slot but the
// first: the driver reads on alone. A thread reading a table stops at its
// next line and is waited for; one still opening a table, which may never
// return (on a dead mount, say), is not: it ends by itself once its open
// returns, without touching the table, and is waited for when the crew is
// destroyed.
static void stop_crew(Crew &crew)
{
	std::unique_lock<std::mutex> hold(crew.lock);
	crew.stopping = true;
	crew.freed.notify_all();
	for (int i = 0; i < crew.started; i++) {
		Worker &worker = crew.workers[i];
		crew.settled.wait(hold, [&] { return worker.done || worker.opening; });
		if (worker.done && !worker.joined)
			join_worker(worker);
	}
	if (crew.nslots > 1)
		crew.slots.resize(1);
	crew.nslots = std::min(crew.nslots, 1);
}

// Whether a thread of the crew has not been waited for.
static bool stragglers(Crew &crew)
{
	std::lock_guard<std::mutex> hold(crew.lock);
	for (int i = 0; i < crew.started; i++)
		if (!crew.workers[i].joined)
			return true;
	return false;
}

Crew::~Crew()
{
	if (first)
		fclose(first);
	stop_crew(*this);
	for (int i = 0; i < started; i++)
		if (!workers[i].joined)
			join_worker(workers[i]);
	budget_give(held_bytes);
}

bool start_crew(Crew &crew, const TableList &list, int nreg, int mlag, int threads, FILE *first,
                Subject &&measured)
{
	crew.list = &list;
	crew.nreg = nreg;
	crew.mlag = mlag;
	crew.first = first;
	crew.claimed = 1;
	crew.unclaimed = next_path(list, next_path(list, nullptr));
	threads = std::min(threads, list.nsub);
	if (threads < 2)
		threads = 0;
	size_t nslots = threads > 0 ? 2 * size_t(threads) : 1;
	size_t held_bytes = nslots * (sizeof(Subject) + sizeof(int) + 1) + threads * sizeof(Worker);
	if (!budget_take(held_bytes))
		return false;
	crew.held_bytes = held_bytes;
	crew.slots.resize(nslots);
	crew.slots[0] = std::move(measured);
	crew.slot_table.assign(nslots, -1);
	crew.left.assign(nslots, false);

	size_t rows = (2 * size_t(mlag) + 1) * size_t(nreg) * sizeof(float);
	if (!reserve(crew.slots[0].rows, rows))
		return false;
	crew.nslots = 1;
	while (size_t(crew.nslots) < nslots && budget_has(2 * rows) &&
	       reserve(crew.slots[crew.nslots].rows, rows))
		crew.nslots++;
	if (crew.nslots > 1)
		start_threads(crew, std::min(threads, crew.nslots), rows);
	if (crew.started == 0)
		stop_crew(crew);
	return true;
}

Subject &take_subject(Crew &crew, int t, const char *path, LineReader &in)
{
	if (t == 0) {
		read_first(crew.first, in, crew.nreg, crew.mlag, crew.slots[0]);
		crew.first = nullptr;
		return crew.slots[0];
	}
	if (running(crew)) {
		std::unique_lock<std::mutex> hold(crew.lock);
		int slot = t % crew.nslots;
		crew.filled.wait(hold, [&] { return crew.slot_table[slot] == t; });
		if (!crew.left[slot] && crew.slots[slot].fault != Fault::memory)
			return crew.slots[slot];
		hold.unlock();
		stop_crew(crew);
	}
	read_subject(open_lines(in, path), path, in, crew.nreg, crew.mlag, crew.slots[0]);
	return crew.slots[0];
}

void release_subject(Crew &crew, int t)
{
	if (!running(crew))
		return;
	std::lock_guard<std::mutex> hold(crew.lock);
	crew.slot_table[t % crew.nslots] = -1;
	crew.released++;
	crew.freed.notify_all();
}

void abandon_crew(Crew *crew)
{
	stop_crew(*crew);
	if (!stragglers(*crew))
		delete crew;
}
