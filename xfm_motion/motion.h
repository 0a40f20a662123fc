// Framewise displacement: how far the head moved from one frame of a
// motion series to the next, in mm.
#pragma once

// What a frame's transform says of the head: where it puts the centre
// (L c + t - c: the translation t when the centre is the origin) and its
// rotation angles as the decomposition gives them (xfm/decompose.h), in
// degrees. A transform with a singular linear part has no angles.
struct Pose {
	double shift[3];
	double angles[3];
	bool singular;
};

// The pose of t4 (column-major, as a transform file's matrix) about centre.
Pose pose_of(const float t4[16], const double centre[3]);

// |dx| + |dy| + |dz| + D pi/180 (|da| + |db| + |dc|), summed in that order:
// the differences of the shifts, and of the angles each reduced to
// (-180, 180], between two poses; D is the head radius. A positive NaN when
// either pose has no angles.
double framewise_displacement(const Pose &before, const Pose &after, double head);
