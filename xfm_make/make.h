// A transform from its parts, the converse of xfm_info's decomposition
// (xfm/decompose.h): the linear part L = R S K and a translation.
#pragma once

struct Parts {
	double translation[3] = {0, 0, 0};
	double angles[3] = {0, 0, 0};  // R = Rz(angles[2]) Ry(angles[1]) Rx(angles[0]), degrees
	double scales[3] = {1, 1, 1};  // S = diag(scales)
	double shears[3] = {0, 0, 0};  // K's entries (1,2), (1,3), (2,3)
};

// Reads the parts from the option groups "-tX,Y,Z", "-rALPHA,BETA,GAMMA",
// "-sSX,SY,SZ" and "-kKXY,KXZ,KYZ", and the intensity scale from "-aSCALE"
// (0 when there is none): the text after the first of these letters in a
// group is its value, and a later group overrides an earlier one. False when
// a value is not three finite numbers (one for -a) separated by commas, a
// scale is 0 in single precision or the intensity scale is not finite there.
bool part_options(int argc, char *const argv[], Parts &parts, float &scale);

// The sine and cosine of an angle in degrees, from arithmetic steps alone,
// so that every machine gets the same bits: exact at multiples of 90
// degrees, within two units in the last place of the C library's elsewhere.
void sincos_degrees(double degrees, double &sine, double &cosine);

// R S K in double precision; l[i][j] is row i, column j.
void make_linear(const Parts &parts, double l[3][3]);

// The transform in the column-major layout of a transform file's matrix:
// make_linear and the translation, each rounded once to single precision,
// and the fourth row 0 0 0 1. False when an element is not finite in
// single precision.
bool make_xfm(const Parts &parts, float t4[16]);
