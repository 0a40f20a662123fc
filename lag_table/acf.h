// The autocorrelation of each region's series over the kept frames. Every
// sum is in double precision, from +0, over the frames in increasing order,
// each product rounded before it is added:
//   mean   = (sum of the kept values) / kept
//   d_t    = x_t - mean
//   num(k) = sum of d_t * d_(t+k) over t with t and t+k both kept
//   acf(k) = num(k) / num(0)
#pragma once

// Computes acf(k) for k = 0..mlag into acf, row k holding nreg values: the
// series x (frames rows of nreg values) becomes its deviations from the
// means. keep[t] says whether frame t is kept; null keeps every frame.
// varies must hold nreg bytes of scratch. Returns the first region that is
// constant over the kept frames (every region when none is kept), whose
// autocorrelation is undefined, or -1 when there is none; acf is then
// unfinished.
int autocorrelate(double *x, long long frames, int nreg, const bool *keep, int mlag, double *acf,
                  bool *varies);
