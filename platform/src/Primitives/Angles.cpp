#include <Ostrel/Vision/Private/Angles.h>

#include <cmath>
#include <numbers>

#include <Ostrel/Vision/Private/PrimitiveFailure.h>
#include <Ostrel/Vision/Transform2D.h>

namespace Ostrel::Vision::Private {

double NormalizeAngleSigned(double angle)
{
    CheckFinite(angle, "angle");
    constexpr double pi = std::numbers::pi;
    if (angle >= -pi && angle < pi)
        return angle;
    double r = std::remainder(angle, 2 * pi); // in [-π, π]
    if (r >= pi)
        r -= 2 * pi;
    if (r < -pi)
        r += 2 * pi;
    return r;
}

double MapAngle(const Transform2DLinear& transform, double angle)
{
    CheckFinite(angle, "angle");
    double x, y;
    transform.MapVector(std::cos(angle), std::sin(angle), x, y);
    CheckFinite(x, "mapped direction");
    CheckFinite(y, "mapped direction");
    const double scale = std::max({std::fabs(transform.A()), std::fabs(transform.B()),
                                   std::fabs(transform.C()), std::fabs(transform.D())});
    // A direction shortened below this fraction of the matrix size has lost its angle to
    // rounding: the transform collapses it.
    constexpr double kCollapsed = 1e-14;
    if (!(std::hypot(x, y) > kCollapsed * scale))
        throw PrimitiveFailure(PrimitiveFailureKind::DegenerateShape,
                               "The transform collapses the direction of the angle to be mapped.");
    return NormalizeAngleSigned(std::atan2(y, x));
}

double AngleLineLine(const Line2D& a, const Line2D& b)
{
    CheckValue(a, "first line");
    CheckValue(b, "second line");
    // Angle of b's direction measured in a's frame: atan2 of cross and dot, which is exact
    // in sign and accurate for nearly parallel lines, unlike the difference of two atan2.
    const double angle = std::atan2(Cross(a.direction, b.direction), Dot(a.direction, b.direction));
    return NormalizeAngleSigned(angle);
}

} // namespace Ostrel::Vision::Private
