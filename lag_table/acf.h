// The autocorrelation of each region's series over the kept frames. Every
// sum is in double precision, from +0, over the frames in increasing order,
// each product rounded before it is added:
//   mean   = (sum of the kept values) / kept
//   d_t    = x_t - mean
//   num(k) = sum of d_t * d_(t+k) over t with t and t+k both kept
//   acf(k) = num(k) / num(0)
// Sums that overflow give infinities and NaNs, the same on every machine
// (common/ieee.h).
#pragma once

// How the autocorrelations came out.
enum class Acf {
	done,
	constant,      // a region is constant over the kept frames, or none is kept
	out_of_range,  // a region's num(0) is 0 or infinite: its values are too
	               // small or too large for its squares to be summed in doubles
};

// Computes acf(k) for k = 0..mlag into acf, row k holding nreg values: the
// series x (frames rows of nreg values) becomes its deviations from the
// means. keep[t] says whether frame t is kept; null keeps every frame.
// varies must hold nreg bytes of scratch. Unless it returns Acf::done, the
// autocorrelation of region *region is undefined and acf is unfinished.
Acf autocorrelate(double *x, long long frames, int nreg, const bool *keep, int mlag, double *acf,
                  bool *varies, int *region);
