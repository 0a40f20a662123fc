#include "xfm/xfmreverse.h"

#include "common/ieee.h"
#include "xfm/matopr.h"

// Entry (i, j), counted from 1, of a transform matrix.
static inline int at4(int i, int j)
{
	return (i - 1) + 4 * (j - 1);
}

void xfmreverse(const float t[16], float r[16])
{
	static_assert(3 <= MATINV_MAX, "an order of 3 never meets matinv's limit");
	float a[9], b[3], w[9], inv[9], det;

	for (int i = 1; i <= 3; i++) {
		b[i - 1] = t[at4(i, 4)];
		for (int j = 1; j <= 3; j++)
			a[(i - 1) + 3 * (j - 1)] = t[at4(i, j)];
	}

	geninv(a, w, inv, 3, det);

	for (int i = 1; i <= 3; i++)
		for (int j = 1; j <= 3; j++)
			r[at4(i, j)] = inv[(i - 1) + 3 * (j - 1)];
	// The translation is -A^-1 b, subtracted term by term from +0.
	for (int i = 1; i <= 3; i++) {
		r[at4(4, i)] = 0.0f;
		r[at4(i, 4)] = 0.0f;
		for (int k = 1; k <= 3; k++)
			r[at4(i, 4)] = fp_sub(r[at4(i, 4)], fp_mul(r[at4(i, k)], b[k - 1]));
	}
	r[at4(4, 4)] = 1.0f;
}
