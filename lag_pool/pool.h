// The group arithmetic. Everything is single precision, every sum starts
// from +0 and takes its terms in the order stated, and every product is
// rounded before it is added: the printed digits depend on these orders.
//
// The group means are kept lag by lag: row i (lag i - mlag) holds nreg
// floats, one per region.
#pragma once

#include <cstddef>

// Adds one subject's values at a lag to that lag's sums, region by region.
// Subjects come in list order, so each sum runs over the subjects in turn.
void add_row(float *sums, const float *values, int nreg);

// A lag that a table does not supply enters each of its sums as a zero.
void add_zero_row(float *sums, int nreg);

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
