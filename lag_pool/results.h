// The lines of the result files, laid out as common/lagtable.h lays out a
// lag table: fixed-width fields of ten characters, lags as integers and
// values with four decimals.
#pragma once

#include <cstdio>

#include "lag_pool/pool.h"

// The column header of _avg.dat: "#%9s" with lag, then each region's label
// right-aligned in a field of 10 (a blank and 9 when it fills it); labels
// never set are blank.
void put_labels(FILE *fp, const Pool &p);

// A row: the lag as "%10d", then each of the n values as " %9.4f".
void put_row(FILE *fp, int lag, const float *values, int n);
