#include <Ostrel/Vision/Private/Angles.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include <Ostrel/Vision/Private/PrimitiveFailure.h>
#include <Ostrel/Vision/Transform2D.h>

namespace Ostrel::Vision::Private {

namespace {

constexpr double Pi = std::numbers::pi;

// atan2 in (-π, π]: the one direction it reports as -π (along -x with a negative-zero y)
// is π.
double Direction(double y, double x)
{
    const double angle = std::atan2(y, x);
    return angle == -Pi ? Pi : angle;
}

} // namespace

double NormalizeAngle(double angle)
{
    CheckFinite(angle, "angle");
    if (angle > -Pi && angle <= Pi)
        return angle;
    return Direction(std::sin(angle), std::cos(angle));
}

double MapAngle(const Transform2DLinear& transform, double angle)
{
    CheckFinite(angle, "angle");
    const double a = transform.A(), b = transform.B(), c = transform.C(), d = transform.D();
    CheckFinite(a, "transform");
    CheckFinite(b, "transform");
    CheckFinite(c, "transform");
    CheckFinite(d, "transform");
    const double scale = std::max({std::fabs(a), std::fabs(b), std::fabs(c), std::fabs(d)});
    if (scale > 0 && a == d && b == -c)
        return NormalizeAngle(NormalizeAngle(angle) + std::atan2(c, a)); // a rotation and scale
    if (scale > 0 && a == -d && b == c)
        return NormalizeAngle(std::atan2(c, a) - NormalizeAngle(angle)); // a reflection and scale
    double x, y;
    transform.MapVector(std::cos(angle), std::sin(angle), x, y);
    if (!(std::hypot(x, y) > SingularTolerance * scale))
        throw PrimitiveFailure(PrimitiveFailureKind::DegenerateShape,
                               "The transform collapses the direction of the angle to be mapped.");
    return Direction(y, x);
}

double AngleLineLine(const Line2D& a, const Line2D& b)
{
    CheckValue(a, "first line");
    CheckValue(b, "second line");
    // Angle of b's direction measured in a's frame: atan2 of cross and dot, which is exact
    // in sign and accurate for nearly parallel lines, unlike the difference of two atan2.
    return Direction(Cross(a.direction, b.direction), Dot(a.direction, b.direction));
}

} // namespace Ostrel::Vision::Private
