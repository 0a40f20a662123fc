// Reading region time series: one line per frame, one field per region,
// and a first line that names the regions. A UTF-8 byte order mark at the
// start is ignored, a carriage return that ends a line is removed, and blank
// lines and lines whose first non-blank byte is '#' are skipped. The first
// line read sets the separator: a tab if it holds one, else a comma if it
// holds one, else runs of blanks; blanks around a field between tabs or
// commas are trimmed. Lines are read as common/lines.h reads them (a NUL
// ends one).
#pragma once

#include <cstdio>

#include "common/budget.h"
#include "common/fault.h"
#include "common/lines.h"

struct Series {
	int nreg = 0;          // regions: the fields of the first line read
	long long frames = 0;  // the lines that hold values
	Buffer values;         // frames rows of nreg doubles, in file order
	Buffer labels;         // nreg labels, each ended by a NUL
};

// Reads the series, just opened, into s. The first line read names the
// regions when one of its fields is not a number, or always with header;
// otherwise it is the first frame and the regions are r1, r2, ... A label
// loses one pair of surrounding double quotes, its blanks, control bytes,
// bytes from 0x80 up and '#' become '_', and an empty one becomes rN (N its
// column, from 1). Every other line holds one finite number per region, in
// a form that strtod reads whole.
// Returns Fault::format, with *line the line's number from 1, for a line
// that breaks this; Fault::read or Fault::memory (and *line 0) when the file
// cannot be read or held.
Fault read_series(FILE *fp, LineReader &in, bool header, Series &s, long long *line);

// The label that follows label in s.labels (the first: s.labels.data).
const char *next_label(const char *label);
