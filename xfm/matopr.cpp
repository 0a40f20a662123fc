#include "xfm/matopr.h"

#include <cmath>
#include <cstddef>

#include "common/ieee.h"

// Position of entry (i, j), counted from 1, in a matrix with leading
// dimension d.
static inline ptrdiff_t at(int i, int j, int d)
{
	return (i - 1) + ptrdiff_t(j - 1) * d;
}

void matmul(const float *a, const float *b, float *c, int n)
{
	for (int i = 1; i <= n; i++)
		for (int k = 1; k <= n; k++) {
			float s = 0.0f;
			for (int j = 1; j <= n; j++)
				s = fp_add(s, fp_mul(a[at(i, j, n)], b[at(j, k, n)]));
			c[at(i, k, n)] = s;
		}
}

void matmulc(const float *a, const float *b, float *c, int n)
{
	for (int i = 1; i <= n; i++)
		for (int k = 1; k <= n; k++) {
			float sr = 0.0f, si = 0.0f;
			for (int j = 1; j <= n; j++) {
				const float *x = &a[2 * at(i, j, n)];
				const float *y = &b[2 * at(j, k, n)];
				sr = fp_add(sr, fp_sub(fp_mul(x[0], y[0]), fp_mul(x[1], y[1])));
				si = fp_add(si, fp_add(fp_mul(x[1], y[0]), fp_mul(x[0], y[1])));
			}
			c[2 * at(i, k, n)] = sr;
			c[2 * at(i, k, n) + 1] = si;
		}
}

void matmulg(const float *a, int l, int m, const float *b, int n, float *c)
{
	for (int i = 1; i <= l; i++)
		for (int k = 1; k <= n; k++) {
			c[at(i, k, l)] = 0.0f;
			if (m < 1)
				continue;
			float s = 0.0f;
			for (int j = 1; j <= m; j++)
				s = fp_add(s, fp_mul(a[at(i, j, l)], b[at(j, k, m)]));
			c[at(i, k, l)] = s;
		}
}

void matcop(const float *a, float *b, int n)
{
	for (int j = 1; j <= n; j++)
		for (int i = 1; i <= n; i++)
			b[at(i, j, n)] = a[at(i, j, n)];
}

void transpos(const float *a, float *b, int n)
{
	for (int j = 1; j <= n; j++)
		for (int i = 1; i <= n; i++)
			b[at(j, i, n)] = a[at(i, j, n)];
}

void matconjg(const float *a, float *b, int n)
{
	for (int j = 1; j <= n; j++)
		for (int i = 1; i <= n; i++) {
			b[2 * at(j, i, n)] = a[2 * at(i, j, n)];
			b[2 * at(j, i, n) + 1] = -a[2 * at(i, j, n) + 1];
		}
}

int matinv(float *a, int n, float &det)
{
	if (n > MATINV_MAX)
		return -1;
	det = 1.0f;
	if (n <= 0)
		return 0;

	auto A = [a, n](int i, int j) -> float & { return a[at(i, j, n)]; };
	int pr[MATINV_MAX + 1], pc[MATINV_MAX + 1];

	for (int k = 1; k <= n; k++) {
		// The largest magnitude in the remaining block; ties and NaNs go to
		// the entry scanned last, as !(x > y) holds for them.
		float p = 0.0f;
		for (int i = k; i <= n; i++)
			for (int j = k; j <= n; j++)
				if (!(std::fabs(p) > std::fabs(A(i, j)))) {
					p = A(i, j);
					pr[k] = i;
					pc[k] = j;
				}

		// Each exchange negates one line, so the product of the pivots
		// keeps the sign of the determinant.
		if (int r = pr[k]; r != k)
			for (int j = 1; j <= n; j++) {
				float t = A(k, j);
				A(k, j) = A(r, j);
				A(r, j) = -t;
			}
		if (int c = pc[k]; c != k)
			for (int i = 1; i <= n; i++) {
				float t = A(i, k);
				A(i, k) = A(i, c);
				A(i, c) = -t;
			}

		for (int i = 1; i <= n; i++)
			if (i != k)
				A(i, k) = -fp_div(A(i, k), p);
		// Each entry takes only its own value, row k and column k, which this
		// loop leaves as they are: the order of the entries does not change a
		// bit, and going down the columns follows the matrix in memory.
		for (int j = 1; j <= n; j++) {
			if (j == k)
				continue;
			for (int i = 1; i <= n; i++)
				if (i != k)
					A(i, j) = fp_add(fp_mul(A(i, k), A(k, j)), A(i, j));
		}
		for (int j = 1; j <= n; j++)
			if (j != k)
				A(k, j) = fp_div(A(k, j), p);
		A(k, k) = fp_div(1.0f, p);
		det = fp_mul(p, det);
	}

	// Undo the interchanges in reverse: a row exchange by a column
	// exchange and the other way round.
	for (int k = n; k >= 1; k--) {
		if (int r = pr[k]; r > k)
			for (int i = 1; i <= n; i++) {
				float t = A(i, k);
				A(i, k) = -A(i, r);
				A(i, r) = t;
			}
		if (int c = pc[k]; c > k)
			for (int j = 1; j <= n; j++) {
				float t = A(k, j);
				A(k, j) = -A(c, j);
				A(c, j) = t;
			}
	}
	return 0;
}

int geninv(const float *a, float *w, float *b, int n, float &det)
{
	for (int i = 1; i <= n; i++)
		for (int j = 1; j <= n; j++) {
			float s = 0.0f;
			for (int k = 1; k <= n; k++)
				s = fp_add(s, fp_mul(a[at(k, i, n)], a[at(k, j, n)]));
			w[at(i, j, n)] = s;
		}

	if (matinv(w, n, det) != 0)
		return -1;

	for (int i = 1; i <= n; i++)
		for (int j = 1; j <= n; j++) {
			float s = 0.0f;
			for (int l = 1; l <= n; l++)
				s = fp_add(s, fp_mul(w[at(i, l, n)], a[at(j, l, n)]));
			b[at(i, j, n)] = s;
		}
	return 0;
}
