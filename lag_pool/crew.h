// Reading the tables of a list on several threads at once, and handing them
// to the driver one by one in list order, so that the sums and everything
// printed are as if the tables were read one after another. A thread never
// ends the run: a table that fails is handed over with its fault, and the
// driver reports it when its turn comes.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "lag_pool/list.h"
#include "lag_pool/table.h"

struct Crew {
	const TableList *list;
	int nreg, mlag;
	std::vector<Subject> slots;  // table t is read into slot t % nslots
	int nslots = 0;              // the slots with room for a table's rows
	std::vector<int> slot_table; // the table a slot holds, -1 while it is read
	std::vector<std::thread> threads;
	std::mutex lock;
	std::condition_variable freed, filled;
	const char *next_path;       // the path of the next table to read
	int claimed = 0;             // tables handed to a thread
	int released = 0;            // tables the driver is done with
	bool stopping = false;
};

// The threads worth starting on this machine: the CPUs the process may run
// on (its affinity, cut to its cgroup's CPU quota), or REGKIT_THREADS when
// that is a positive number.
int crew_size();

// Prepares slots for the tables (up to two for each of `threads` threads,
// as many as fit the memory budget, at least one) and starts the threads.
// False when not even one slot fits.
bool start_crew(Crew &crew, const TableList &list, int nreg, int mlag, int threads);

// The subject of table t (counted from 0 in list order), once it is read.
// Tables are taken in order, each once, and given back with release.
Subject &take_subject(Crew &crew, int t);
void release_subject(Crew &crew, int t);

// Lets the threads finish the table they are reading and waits for them.
void stop_crew(Crew &crew);
