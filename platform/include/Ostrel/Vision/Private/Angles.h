#pragma once
// The angle rule of the framework: one range, one reduction, one mapping, used by the
// primitives, the shapes' rotations and everything built on them.
//
// Angles are radians and directions: an angle stands for the unit vector (cos, sin) it
// gives. Reduced and mapped angles lie in (-π, π]; an angle already in that range is kept
// bit for bit. Any other finite angle is reduced to the direction its cos and sin give,
// which the library's sine and cosine compute with exact argument reduction, so a line of
// rotation 1e308 reduces to the direction it is drawn and measured in (about 2.6710), and
// the reduction agrees with mapping the angle by the identity.

#include <Ostrel/Vision/Private/Geometry2D.h>

namespace Ostrel::Vision::Private {

// `angle` brought into (-π, π] as described above. Throws PrimitiveFailure
// (NonFiniteInput) for a non-finite angle.
double NormalizeAngle(double angle);

// The direction that the linear part of `transform` makes of the direction `angle`, in
// (-π, π]. A similarity (rotation, uniform scale, reflection) maps the angle in closed form,
// so the identity keeps a reduced angle bit for bit. Throws PrimitiveFailure
// (NonFiniteInput) for a non-finite angle or transform entry, and (DegenerateShape) when
// the transform collapses the direction: its image is not longer than SingularTolerance
// of the largest matrix entry.
double MapAngle(const Transform2DLinear& transform, double angle);

// The angle that turns line `a` onto line `b`, in (-π, π], positive in the direction of
// increasing rotation. Lines are directed: opposite directions differ by π.
double AngleLineLine(const Line2D& a, const Line2D& b);

} // namespace Ostrel::Vision::Private
