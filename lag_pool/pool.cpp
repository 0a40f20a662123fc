#include "lag_pool/pool.h"

#include <cstdint>
#include <utility>

#include "common/ieee.h"
#include "common/tokens.h"

void add_row(float *sums, const float *values, int nreg)
{
	for (int r = 0; r < nreg; r++)
		sums[r] = fp_add(sums[r], values[r]);
}

void add_subject(Pool &p, Subject &s)
{
	const float *rows = reinterpret_cast<const float *>(s.rows.data);
	for (int i = 0; i < s.nrows; i++)
		add_row(&p.avg[size_t(i) * p.nreg], rows + size_t(i) * p.nreg, p.nreg);
	if (!s.has_labels)
		return;
	std::swap(p.labels, s.labels);
	s.has_labels = false;
	p.has_labels = true;
}

void group_means(float *avg, size_t n, int nsub)
{
	float count = static_cast<float>(nsub);
	for (size_t c = 0; c < n; c++)
		avg[c] = fp_div(avg[c], count);
}

void roi_means(const float *avg, int nreg, int nlag, float *roiavg)
{
	float count = static_cast<float>(nreg);
	for (int i = 0; i < nlag; i++) {
		const float *row = avg + size_t(i) * nreg;
		float sum = 0;
		for (int r = 0; r < nreg; r++)
			sum = fp_add(sum, row[r]);
		roiavg[i] = fp_div(sum, count);
	}
}

float pair_count(int nreg)
{
	return static_cast<float>(int64_t(nreg) * (nreg - 1));
}

float cross_products(const float *avg, int nreg, int nlag, float *gammabar)
{
	float pairs = pair_count(nreg);
	float total = 0;
	for (int i = 0; i < nlag; i++) {
		const float *row = avg + size_t(i) * nreg;
		float g = 0;
		for (int j = 0; j < nreg; j++)
			for (int k = 0; k < nreg; k++)
				if (j != k)
					g = fp_add(g, fp_mul(row[j], row[k]));
		gammabar[i] = fp_div(g, pairs);
		total = fp_add(total, gammabar[i]);
	}
	return total;
}
