#include "xfm_motion/motion.h"

#include <cmath>
#include <limits>

#include "common/ieee.h"
#include "xfm/decompose.h"

Pose pose_of(const float t4[16], const double centre[3])
{
	Pose pose = {};
	for (int i = 0; i < 3; i++) {
		double moved = 0;
		for (int j = 0; j < 3; j++)
			moved = fp_add(moved, fp_mul(double(t4[i + 4 * j]), centre[j]));
		pose.shift[i] = fp_sub(fp_add(moved, double(t4[i + 12])), centre[i]);
	}
	Decomposition d = decompose(t4);
	pose.singular = d.singular;
	for (int i = 0; i < 3; i++)
		pose.angles[i] = d.angles[i];
	return pose;
}

// a - b taken round the circle, into (-180, 180]: the angles lie in
// [-180, 180], so one turn added or taken away is enough.
static double turn(double a, double b)
{
	double d = fp_sub(a, b);
	if (d > 180)
		d -= 360;
	else if (d <= -180)
		d += 360;
	return d;
}

// Every term is an absolute value, so a NaN among them is positive and the
// sum prints the same on every machine.
double framewise_displacement(const Pose &before, const Pose &after, double head)
{
	double distance = 0, degrees = 0;
	for (int i = 0; i < 3; i++)
		distance = fp_add(distance, fabs(fp_sub(after.shift[i], before.shift[i])));
	if (before.singular || after.singular)
		degrees = std::numeric_limits<double>::quiet_NaN();
	else
		for (int i = 0; i < 3; i++)
			degrees = fp_add(degrees, fabs(turn(after.angles[i], before.angles[i])));
	double per_degree = fp_div(fp_mul(head, M_PI), 180.0);
	return fp_add(distance, fp_mul(per_degree, degrees));
}
