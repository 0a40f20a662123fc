#include "lag_table/acf.h"

#include <cfloat>
#include <cstddef>

#include "common/ieee.h"

static bool kept(const bool *keep, long long t)
{
	return !keep || keep[t];
}

// The means into mean, and which regions vary; the kept frames, or 0.
static long long means(const double *x, long long frames, int nreg, const bool *keep, double *mean,
                       bool *varies)
{
	const double *first = nullptr;
	long long n = 0;
	for (int r = 0; r < nreg; r++) {
		mean[r] = +0.0;
		varies[r] = false;
	}
	for (long long t = 0; t < frames; t++) {
		if (!kept(keep, t))
			continue;
		const double *v = x + size_t(t) * nreg;
		if (!first)
			first = v;
		for (int r = 0; r < nreg; r++) {
			mean[r] = fp_add(mean[r], v[r]);
			varies[r] |= v[r] != first[r];
		}
		n++;
	}
	for (int r = 0; r < nreg; r++)
		mean[r] = fp_div(mean[r], double(n));
	return n;
}

// Adds to sums the products of the deviations k frames apart, frame by frame.
static void lag_products(const double *x, long long frames, int nreg, const bool *keep, int k, double *sums)
{
	for (int r = 0; r < nreg; r++)
		sums[r] = +0.0;
	for (long long t = 0; t + k < frames; t++) {
		if (!kept(keep, t) || !kept(keep, t + k))
			continue;
		const double *a = x + size_t(t) * nreg, *b = x + size_t(t + k) * nreg;
		for (int r = 0; r < nreg; r++) {
			double p = fp_mul(a[r], b[r]);
			sums[r] = fp_add(sums[r], p);
		}
	}
}

Acf autocorrelate(double *x, long long frames, int nreg, const bool *keep, int mlag, double *acf,
                  bool *varies, int *region)
{
	double *mean = acf;  // row 0, until it holds num(0)
	*region = 0;
	if (means(x, frames, nreg, keep, mean, varies) == 0)
		return nreg > 0 ? Acf::constant : Acf::done;
	for (*region = 0; *region < nreg; ++*region)
		if (!varies[*region])
			return Acf::constant;
	for (long long t = 0; t < frames; t++) {
		double *v = x + size_t(t) * nreg;
		for (int r = 0; r < nreg; r++)
			v[r] = fp_sub(v[r], mean[r]);
	}
	for (int k = 0; k <= mlag; k++)
		lag_products(x, frames, nreg, keep, k, acf + size_t(k) * nreg);
	// With num(0) positive and finite, no |num(k)| exceeds it.
	for (*region = 0; *region < nreg; ++*region)
		if (!(acf[*region] > 0 && acf[*region] <= DBL_MAX))
			return Acf::out_of_range;
	for (int k = mlag; k >= 0; k--)
		for (int r = 0; r < nreg; r++)
			acf[size_t(k) * nreg + r] = fp_div(acf[size_t(k) * nreg + r], acf[r]);
	return Acf::done;
}
