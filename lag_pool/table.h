// Reading lag tables: the shape from the first table, each subject's table
// into the sums, and the numbers on a data line. A header line is one whose
// first byte is '#'; every other line is a data line: a lag and one value
// per region. Lines are read as common/lines.h reads them (a NUL ends one).
#pragma once

#include <cstdio>
#include <string_view>

#include "common/fault.h"
#include "common/lines.h"
#include "lag_pool/pool.h"

// The shape from a first table just opened: nreg from the last header line
// before its first data line ('#' made blank, its tokens are the lag column
// and the labels), mlag from the negated lag of that data line, which must
// carry nreg values. Fault::format when it has no such header and data line.
Fault measure_table(FILE *fp, LineReader &in, int &nreg, int &mlag);

// Adds one subject's table, just opened, to p's sums. Its header lines are
// echoed on echo as read and may bring new labels; its data lines run from
// lag -mlag up, without a gap, and may stop early. Fault::format at the
// first line that breaks this; a subject's sums may then hold part of it.
Fault pool_table(FILE *fp, LineReader &in, Pool &p, FILE *echo);

// A value: what strtod reads from the token, taken to single precision.
float cell_value(std::string_view tok);

// A lag: the base-10 integer prefix that strtol reads from the token, kept
// to its low 32 bits as a 32-bit int does.
int lag_value(std::string_view tok);

// Reads a data line that must hold the lag `lag` and then exactly nreg
// values into values[0..nreg-1]. Returns false when it does not.
bool read_data_line(const char *line, int lag, float *values, int nreg);
