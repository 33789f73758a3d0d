#pragma once
// Angle primitives: signed normalisation, angle mapping and the angle between two lines.

#include <Ostrel/Vision/Private/Geometry2D.h>

namespace Ostrel::Vision::Private {

// `angle` brought into [-π, π): one turn centred on 0, closed at -π. Exact for angles already
// in range; otherwise reduced with the remainder of 2π (exact for |angle| below 2^52).
// Throws PrimitiveFailure for a non-finite angle.
double NormalizeAngleSigned(double angle);

// The direction that the linear part of `transform` makes of the direction `angle`, in
// [-π, π). Throws PrimitiveFailure when the transform collapses that direction.
double MapAngle(const Transform2DLinear& transform, double angle);

// The angle that turns line `a` onto line `b`: the signed normalisation of the difference
// of their direction angles, in [-π, π), positive in the direction of increasing rotation.
// Lines are directed: opposite directions differ by -π.
double AngleLineLine(const Line2D& a, const Line2D& b);

} // namespace Ostrel::Vision::Private
