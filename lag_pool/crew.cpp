#include "lag_pool/crew.h"

#include <sched.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "common/cgroup.h"
#include "common/integers.h"

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

// Reads table after table into free slots until every table is claimed or
// the crew stops.
static void work(Crew &crew)
{
	LineReader in;
	std::unique_lock<std::mutex> hold(crew.lock);
	const int nsub = crew.list->nsub, nslots = crew.nslots;
	for (;;) {
		crew.freed.wait(hold, [&] {
			return crew.stopping || crew.claimed == nsub || crew.claimed < crew.released + nslots;
		});
		if (crew.stopping || crew.claimed == nsub)
			return;
		int t = crew.claimed++;
		const char *path = crew.next_path;
		crew.next_path = next_path(*crew.list, path);
		Subject &s = crew.slots[t % nslots];
		hold.unlock();
		try {
			read_subject(path, in, crew.nreg, crew.mlag, s);
		} catch (const std::bad_alloc &) {
			s.fault = Fault::memory;
		}
		hold.lock();
		crew.slot_table[t % nslots] = t;
		crew.filled.notify_all();
	}
}

bool start_crew(Crew &crew, const TableList &list, int nreg, int mlag, int threads)
{
	crew.list = &list;
	crew.nreg = nreg;
	crew.mlag = mlag;
	crew.next_path = next_path(list, nullptr);
	threads = std::max(1, std::min(threads, list.nsub));
	size_t rows = (2 * size_t(mlag) + 1) * size_t(nreg) * sizeof(float);
	crew.slots = std::vector<Subject>(2 * threads);
	while (crew.nslots < 2 * threads && reserve(crew.slots[crew.nslots].rows, rows))
		crew.nslots++;
	if (crew.nslots == 0)
		return false;
	crew.slot_table.assign(crew.nslots, -1);
	threads = std::min(threads, crew.nslots);
	for (int i = 0; i < threads; i++)
		crew.threads.emplace_back(work, std::ref(crew));
	return true;
}

Subject &take_subject(Crew &crew, int t)
{
	std::unique_lock<std::mutex> hold(crew.lock);
	int slot = t % crew.nslots;
	crew.filled.wait(hold, [&] { return crew.slot_table[slot] == t; });
	return crew.slots[slot];
}

void release_subject(Crew &crew, int t)
{
	std::lock_guard<std::mutex> hold(crew.lock);
	crew.slot_table[t % crew.nslots] = -1;
	crew.released++;
	crew.freed.notify_all();
}

void stop_crew(Crew &crew)
{
	{
		std::lock_guard<std::mutex> hold(crew.lock);
		crew.stopping = true;
		crew.freed.notify_all();
	}
	for (std::thread &thread : crew.threads)
		thread.join();
	crew.threads.clear();
}
