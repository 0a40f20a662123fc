// The RMS difference of two affine transforms over a solid sphere.
#pragma once

struct Sphere {
	double radius = 80;
	double centre[3] = {0, 0, 0};
};

// The root mean square of |T1(x) - T2(x)| over the ball, in double, for the
// transforms held in the first three rows of t1 and t2 (column-major, as a
// transform file's matrix): sqrt(r^2/5 trace(D'D) + |d + D c|^2) with D and
// d the differences of their linear parts and translations.
double rms_difference(const float t1[16], const float t2[16], const Sphere &ball);

// Reads "-r<radius>" and "-c<x>,<y>,<z>" from the option groups: the text
// after the first 'r' or 'c' of a group is its value, and a later group
// overrides an earlier one. False when a radius is not a finite positive
// number or a centre not three finite numbers separated by commas.
bool sphere_options(int argc, char *const argv[], Sphere &ball);
