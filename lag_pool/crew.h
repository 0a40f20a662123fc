// Reading the tables of a list on several threads at once, and handing them
// to the driver one by one in list order, so that the sums and everything
// printed are as if the tables were read one after another. A thread never
// ends the run: a table that fails is handed over with its fault, and the
// driver reports it when its turn comes.
//
// The run one thread needs comes first: the driver itself can read every
// table into the first slot. Further slots and threads are taken only from
// what is left of the memory budget, and a table that a thread could not
// read for want of memory is read again by the driver, with the threads
// stopped and their memory given back; so the result is the one thread's
// whatever the number of threads. A thread reads regular files only: any
// other table (a FIFO, a device), which may block where the one-thread run
// would not yet have opened it, is left to the driver in the same way.
#pragma once

#include <pthread.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "lag_pool/list.h"
#include "lag_pool/subject_table.h"

struct Crew;

// One thread of the crew, with its own stack and reader.
struct Worker {
	Crew *crew = nullptr;
	pthread_t thread;
	void *stack = nullptr;
	LineReader in;
	bool opening = false;  // in the calls that open a table, which may block
	bool done = false;     // its thread has ended
	bool joined = false;   // and has been waited for, its memory given back
};

struct Crew {
	const TableList *list = nullptr;
	int nreg = 0, mlag = 0;
	FILE *first = nullptr;        // the first table, read on by the driver
	std::vector<Subject> slots;   // table t is read into slot t % nslots
	int nslots = 0;               // the slots with room for a table's rows
	std::vector<int> slot_table;  // the table a slot holds, -1 while it is read
	std::vector<char> left;       // whether that table is left to the driver
	std::vector<Worker> workers;
	int started = 0;        // the workers whose thread was started
	size_t held_bytes = 0;  // the budget's bytes for these vectors
	std::mutex lock;
	std::condition_variable freed, filled, settled;
	const char *unclaimed = nullptr;    // the path of the next table to read
	int claimed = 0;                    // tables handed to a thread
	int released = 0;                   // tables the driver is done with
	std::atomic<bool> stopping{false};  // also ends a table being read

	Crew() = default;
	Crew(const Crew &) = delete;
	Crew &operator=(const Crew &) = delete;
	~Crew();  // stops the threads and waits for them
};

// The threads worth starting on this machine: the CPUs the process may run
// on (its affinity, cut to its cgroup's CPU quota), or REGKIT_THREADS when
// that is a whole number from 1 to 4096.
int crew_size();

// Takes the first slot from the budget, then as many further slots (up to
// two for each of `threads` threads) and threads as fit beside what stays
// free, and starts the threads: none for one thread, or when fewer than two
// slots or no thread could be had. False when not even the first slot fits.
// The first table, open as first and measured into measured (subject_table.h), is
// the driver's to read on: the threads begin at the second.
bool start_crew(Crew &crew, const TableList &list, int nreg, int mlag, int threads, FILE *first,
                Subject &&measured);

// The subject of table t (counted from 0 in list order), whose path is
// given, once it is read: by the crew, or by the driver with in when no
// thread runs or a thread ran out of memory on it or left it. Tables are
// taken in order, each once, and given back with release_subject.
Subject &take_subject(Crew &crew, int t, const char *path, LineReader &in);
void release_subject(Crew &crew, int t);

// Ends the crew of a run that ends on a failed table, as the one-thread run
// ends there: a thread stops at the next line of the table it reads, and
// one still opening a table (on a stalled mount, say) is not waited for.
// Takes the crew, made with new: it is deleted or, while such a thread
// lives, left as it is for the rest of the run, which must end at once.
void abandon_crew(Crew *crew);
