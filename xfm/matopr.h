// The matrix unit: square single-precision matrices in column-major order,
// entry (i, j) of a matrix with leading dimension d (indices from 1) at
// (i - 1) + (j - 1) * d. A complex matrix holds pairs of floats, real part
// first. An order of 0 or less makes a routine do nothing (see matmulg and
// matinv for what they still write).
//
// Arithmetic is single precision with every product rounded before it is
// added, and every sum begins at +0 and runs in increasing index order, so
// the results are reproducible to the bit. A result is stored while the
// inputs are still being read: it must not overlap them.
#pragma once

// c = a * b, all n x n.
void matmul(const float *a, const float *b, float *c, int n);

// c = a * b in complex arithmetic, neither factor conjugated.
void matmulc(const float *a, const float *b, float *c, int n);

// c = a * b with a l x m, b m x n and c l x n. With m < 1 the l x n result
// is all zeros.
void matmulg(const float *a, int l, int m, const float *b, int n, float *c);

// b = a, every value copied unchanged.
void matcop(const float *a, float *b, int n);

// b = the transpose of a.
void transpos(const float *a, float *b, int n);

// b = the conjugate transpose of complex a; an imaginary part of 0 becomes -0.
void matconjg(const float *a, float *b, int n);

// Replaces a by its inverse (Gauss-Jordan with complete pivoting) and sets
// det to the product of the pivots; returns 0. A singular matrix is not
// detected: its inverse holds infinities and NaNs. An order above
// MATINV_MAX returns -1 with nothing written, not even det.
enum { MATINV_MAX = 512 };
int matinv(float *a, int n, float &det);

// b = (a' * a)^-1 * a', with w left holding (a' * a)^-1 and det its
// determinant. For a nonsingular a this is the inverse of a. Returns what
// matinv returns; after -1, w holds a' * a and b is not written.
int geninv(const float *a, float *w, float *b, int n, float &det);
