#include <cmath>
#include <limits>
#include <numbers>

#include <Geometry/MathUtils.h>
#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Strings.h>

namespace Ostrel::Vision::Geometry {

namespace {

void CheckFinite(double x0, double y0, double x1, double y1)
{
    if (std::isfinite(x0) && std::isfinite(y0) && std::isfinite(x1) && std::isfinite(y1)) [[likely]]
        return;
    const char* name = !std::isfinite(x0)   ? "x0"
                       : !std::isfinite(y0) ? "y0"
                       : !std::isfinite(x1) ? "x1"
                                            : "y1";
    throw ArgumentException(Strings::Substitute(Strings::IDS_Ost_InvalidArgNotFinite_1, {name}));
}

// The direction of (dx, dy) in (−π, π]. Coinciding points have no direction and give 0,
// whatever the signs of their zero differences (atan2 of two zeros is ±0 or ±π by sign);
// atan2 gives −π along the negative x axis with a negative-zero y, reported as π.
double Direction(double dx, double dy)
{
    if (dx == 0 && dy == 0)
        return 0;
    const double angle = std::atan2(dy, dx);
    return angle == -std::numbers::pi ? std::numbers::pi : angle;
}

} // namespace

MathUtils::~MathUtils() = default;

double MathUtils::DistancePointPoint(double x0, double y0, double x1, double y1, double& angle)
{
    CheckFinite(x0, y0, x1, y1);
    double dx = x1 - x0;
    double dy = y1 - y0;
    double distance = std::hypot(dx, dy);
    if (!std::isfinite(distance)) {
        // A difference overflowed: the halves differ by at most the largest double.
        dx = x1 / 2 - x0 / 2;
        dy = y1 / 2 - y0 / 2;
        if (!(std::hypot(dx, dy) <= std::numeric_limits<double>::max() / 2))
            throw ArgumentException("The points lie farther apart than the largest number a double holds "
                                    "(about 1.8e308): the distance cannot be given.");
        distance = 2 * std::hypot(dx, dy);
    }
    angle = Direction(dx, dy);
    return distance;
}

double MathUtils::AnglePointPoint(double x0, double y0, double x1, double y1)
{
    CheckFinite(x0, y0, x1, y1);
    const double dx = x1 - x0, dy = y1 - y0;
    if (std::isfinite(dx) && std::isfinite(dy))
        return Direction(dx, dy);
    // A difference overflowed: the halves keep the direction.
    return Direction(x1 / 2 - x0 / 2, y1 / 2 - y0 / 2);
}

} // namespace Ostrel::Vision::Geometry
