// The parts of a transform's linear part L = R S K: a rotation R, the
// scales S = diag(s) and the shears K (unit upper triangular).
#pragma once

struct Decomposition {
	bool singular;       // L has a dependent column: no R, S or K
	double angles[3];    // R = Rz(angles[2]) Ry(angles[1]) Rx(angles[0]), degrees
	double scales[3];    // negative first scale: L reflects
	double shears[3];    // K's entries (1,2), (1,3), (2,3)
	double determinant;  // det L
	bool rigid;          // scales 1 and shears 0 within 1e-4
};

// The parts of the linear part of t4 (column-major, as a transform file's
// matrix), in double from its single values: classical Gram-Schmidt on L's
// columns 1, 2, 3, with a reflection moved into the first column.
Decomposition decompose(const float t4[16]);
