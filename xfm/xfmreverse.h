// The inverse of an affine transform.
#pragma once

// r = the inverse of the affine map x -> A x + b held in the first three
// rows of t (linear part A, translation b in t[12..14]); r's fourth row is
// 0 0 0 1 and t's is not read. t is read whole before r is written, so r
// may be t. A singular A gives non-finite values without any message.
void xfmreverse(const float t[16], float r[16]);
