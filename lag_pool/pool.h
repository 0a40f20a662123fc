// What is gathered over the subjects, and the group arithmetic. Everything
// is single precision, every sum starts from +0 and takes its terms in the
// order stated, and every product is rounded before it is added: the
// printed digits depend on these orders.
//
// The group means are kept lag by lag: row i (lag i - mlag) holds nreg
// floats, one per region.
#pragma once

#include <cstddef>

#include "common/budget.h"
#include "lag_pool/subject_table.h"

// The shape of every table, taken from the first, and the sums over the
// subjects. The tables themselves are not kept: their values are summed as
// they are read, so memory grows with the table and not with the cohort.
struct Pool {
	int nsub;                 // subjects: the lines of the list
	int nreg;                 // regions: the value columns
	int mlag;                 // the largest lag; rows run from -mlag to +mlag
	int nlag;                 // rows: 2 * mlag + 1
	Buffer labels;            // the header line that named the regions last
	bool has_labels = false;  // false until a table brings one
	float *avg;               // nlag rows of nreg floats: the sums, then the group means
};

// Where the sums or means of a lag begin in avg.
inline size_t lag_row(const Pool &p, int lag)
{
	return size_t(lag + p.mlag) * p.nreg;
}

// Adds one subject's values at a lag to that lag's sums, region by region.
// Subjects come in list order, so each sum runs over the subjects in turn.
// A lag that a table does not supply adds nothing: its zero would leave
// every sum as it is, since a sum from +0 is never -0.
void add_row(float *sums, const float *values, int nreg);

// Adds one subject's rows to the sums, lag by lag, and takes its labels, if
// it brings any, in place of those so far; the subject keeps the pool's old
// buffer for its next table, so that nothing is allocated here. Subjects
// come in list order.
void add_subject(Pool &p, Subject &s);

// Turns the n sums into group means over nsub subjects.
void group_means(float *avg, size_t n, int nsub);

// The mean over regions of each lag's group means.
void roi_means(const float *avg, int nreg, int nlag, float *roiavg);

// The number of ordered pairs of two different regions, nreg * (nreg - 1),
// counted in 64 bits (in 32 it wraps past 46341 regions).
float pair_count(int nreg);

// At each lag, the mean over ordered pairs of two different regions of the
// product of their group means; returns the sum of these over the lags.
// With one region there is no pair: every value is 0/0, not a number.
float cross_products(const float *avg, int nreg, int nlag, float *gammabar);
