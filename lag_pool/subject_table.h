// Reading lag tables: the shape from the first table, each subject's table
// into the sums, and the numbers on a data line. A header line is one whose
// first byte is '#'; every other line is a data line: a lag and one value
// per region. Lines are read as common/lines.h reads them (a NUL ends one).
#pragma once

#include <atomic>
#include <cstdio>
#include <string_view>

#include "common/fault.h"
#include "common/lines.h"

// One subject's table as read: what the run prints for it, the rows it
// supplies and the labels it brings. Tables are read on any thread, each
// into a Subject of its own, and summed in list order (pool.h).
struct Subject {
	Buffer text;  // "Reading: PATH\n" (control bytes shown) and its header lines as echoed
	size_t textlen = 0;
	Buffer rows;  // floats: nrows rows of nreg values, from lag -mlag up
	int nrows = 0;
	Buffer labels;  // its last header line that names every region, '#' made blank
	bool has_labels = false;
	Fault fault = Fault::none;
};

// The shape from the first table, at path, just opened: nreg from the last
// header line before its first data line ('#' made blank, its tokens are the
// lag column and the labels), mlag from the negated lag of that data line,
// which must carry nreg values. Fault::format when it has no such header and
// data line. The table is read once, whatever it is (a pipe, a FIFO): what
// was read goes into first, the "Reading:" line and the header lines echoed
// and the last kept as its labels, and the data line stays in `in` for
// read_first, which reads on from it.
Fault measure_table(FILE *fp, const char *path, LineReader &in, int &nreg, int &mlag, Subject &first);

// Reads the rest of the first table, measured by measure_table with the same
// reader, into first (whose rows now hold 2 * mlag + 1 rows of nreg floats),
// as read_subject reads a table, and closes fp.
void read_first(FILE *fp, LineReader &in, int nreg, int mlag, Subject &first);

// Reads one subject's table, just opened, into s (whose rows must hold
// 2 * mlag + 1 rows of nreg floats). Its header lines are echoed as read
// and may bring new labels; its data lines run from lag -mlag up, without a
// gap, and may stop early. Returns Fault::format at the first line that
// breaks this, Fault::read or Fault::memory when the table or its echo
// cannot be read; s then holds what came before. When stop is given and
// turns true, it returns at the next line with what it has read.
Fault read_table(FILE *fp, LineReader &in, int nreg, int mlag, Subject &s,
                 const std::atomic<bool> *stop = nullptr);

// Reads the table at path, opened as fp, into s, its text beginning with
// the "Reading:" line, and closes fp; s.fault says how it went. A null fp
// is a table that could not be opened, for the fault in.fault.
void read_subject(FILE *fp, const char *path, LineReader &in, int nreg, int mlag, Subject &s,
                  const std::atomic<bool> *stop = nullptr);

// A value: what strtod reads from the token, taken to single precision.
// The token must end where its text does, at a byte that is not graphic
// or a NUL, as next_token's tokens do: strtod and strtol stop there on
// their own, so the token is read in place, with no copy whose size grows
// with the line.
float cell_value(std::string_view tok);

// A lag: the base-10 integer prefix that strtol reads from the token, kept
// to its low 32 bits as a 32-bit int does. The token ends as above.
int lag_value(std::string_view tok);

// Reads a data line that must hold the lag `lag` and then exactly nreg
// values into values[0..nreg-1]. Returns false when it does not.
bool read_data_line(const char *line, int lag, float *values, int nreg);
