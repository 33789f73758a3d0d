#include <cmath>
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

// atan2 gives −π for a direction along the negative x axis with a negative-zero y; the
// range is (−π, π], so that direction is reported as π.
double Direction(double dx, double dy)
{
    const double angle = std::atan2(dy, dx);
    return angle == -std::numbers::pi ? std::numbers::pi : angle;
}

} // namespace

MathUtils::~MathUtils() = default;

double MathUtils::DistancePointPoint(double x0, double y0, double x1, double y1, double& angle)
{
    CheckFinite(x0, y0, x1, y1);
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    angle = Direction(dx, dy);
    return std::hypot(dx, dy);
}

double MathUtils::AnglePointPoint(double x0, double y0, double x1, double y1)
{
    CheckFinite(x0, y0, x1, y1);
    return Direction(x1 - x0, y1 - y0);
}

} // namespace Ostrel::Vision::Geometry
