#include <Ostrel/Vision/Private/TarnEllipse.h>

#include <algorithm>
#include <cmath>

#include <Ostrel/Vision/Private/PrimitiveFailure.h>
#include <Ostrel/Vision/Transform2D.h>

#include "../Shapes/ShapeMath.h"
#include "RoundShapesDetail.h"

namespace Ostrel::Vision::Private {

namespace {

// Geometric bisection steps before Newton: each halves the logarithm of the bracket ratio,
// which starts below 2^2100 for doubles, so 12 steps bring any bracket within a factor 2.
constexpr int kMaxBisections = 12;
// Newton from within a factor 2 of the root converges quadratically in a handful of
// steps; the bound only guards against rounding noise.
constexpr int kMaxNewtonSteps = 40;

// The closest point of the ellipse with semi-axes 1 (along x) and b (0 < b <= 1) to the
// point (y0, y1) of the first quadrant; it lies in the first quadrant as well.
//
// The Lagrange condition gives x = (y0 / (t + 1), b² y1 / (t + b²)) with t the root of
// (y0 / (t + 1))² + (b y1 / (t + b²))² = 1 above -b². We solve for s = t + b² > 0, with
// d = 1 - b² formed as a product: F(s) = (y0 / (s + d))² + (b y1 / s)² - 1. Near the
// major axis inside the ellipse s is tiny, and solving for s itself (not t) keeps it to
// full relative accuracy. F is convex and decreasing, so Newton from the left of the root
// never overshoots; a geometric bisection first brings the bracket within a factor 2.
Point2D ClosestOnUnitMajorEllipse(double b, double y0, double y1)
{
    const double d = (1 - b) * (1 + b);
    const double bv = b * y1;
    if (bv == 0) {
        // On the major axis: inside the evolute the closest point leaves the axis.
        if (y0 < d) {
            const double x0 = y0 / d;
            return {x0, b * std::sqrt((1 - x0) * (1 + x0))};
        }
        return {1, 0};
    }
    if (y0 == 0)
        return {0, b};
    const auto f = [&](double s) {
        const double u = y0 / (s + d), v = bv / s;
        return u * u + v * v - 1;
    };
    double lo = std::max(bv, y0 - d);
    double hi = std::max(std::sqrt(2.0) * bv, std::sqrt(2.0) * y0 - d);
    for (int i = 0; i < kMaxBisections && hi > 2 * lo; ++i) {
        const double mid = std::sqrt(lo) * std::sqrt(hi);
        (f(mid) > 0 ? lo : hi) = mid;
    }
    double s = lo;
    for (int i = 0; i < kMaxNewtonSteps; ++i) {
        const double u = y0 / (s + d), v = bv / s;
        const double fs = u * u + v * v - 1;
        if (fs <= 0)
            break;
        const double slope = 2 * (u * u / (s + d) + v * v / s);
        const double next = std::min(s + fs / slope, hi);
        if (!(next > s))
            break;
        const bool converged = next - s <= 4e-16 * s;
        s = next;
        if (converged)
            break;
    }
    return {y0 / (s + d), b * (bv / s)};
}

} // namespace

TarnEllipse::TarnEllipse(double centerX, double centerY, double radiusX, double radiusY, double rotation)
    : cx_(centerX), cy_(centerY), rx_(radiusX), ry_(radiusY), rotation_(rotation)
{
    CheckFinite(centerX, "ellipse centre x");
    CheckFinite(centerY, "ellipse centre y");
    CheckFinite(radiusX, "ellipse radius x");
    CheckFinite(radiusY, "ellipse radius y");
    CheckFinite(rotation, "ellipse rotation");
    if (radiusX < 0 || radiusY < 0)
        throw PrimitiveFailure(PrimitiveFailureKind::InvalidArgument, "An ellipse radius is negative.");
    cos_ = std::cos(rotation);
    sin_ = std::sin(rotation);
}

TarnEllipse::TarnEllipse(double centerX, double centerY, double radiusX, double radiusY, double rotation,
                         double cosRotation, double sinRotation)
    : cx_(centerX), cy_(centerY), rx_(radiusX), ry_(radiusY), rotation_(rotation), cos_(cosRotation),
      sin_(sinRotation)
{
    if (!(std::isfinite(centerX) && std::isfinite(centerY) && std::isfinite(radiusX) &&
          std::isfinite(radiusY) && radiusX >= 0 && radiusY >= 0))
        *this = TarnEllipse(centerX, centerY, radiusX, radiusY, rotation); // throws with the checks' message
}

TarnEllipse TarnEllipse::MapLinear(const Transform2DLinear& transform) const
{
    ShapeMath::CheckTransform(transform);
    const auto mapped = ShapeMath::MapEllipse(transform, {cx_, cy_, rx_, ry_, rotation_}, cos_, sin_);
    return {mapped.centerX,  mapped.centerY,     mapped.radiusX,    mapped.radiusY,
            mapped.rotation, mapped.cosRotation, mapped.sinRotation};
}

Point2D TarnEllipse::ToLocal(const Point2D& world) const
{
    const double dx = world.x - cx_, dy = world.y - cy_;
    return {cos_ * dx + sin_ * dy, cos_ * dy - sin_ * dx};
}

Point2D TarnEllipse::ToWorld(const Point2D& local) const
{
    return {cx_ + (cos_ * local.x - sin_ * local.y), cy_ + (sin_ * local.x + cos_ * local.y)};
}

double TarnEllipse::DistanceToPoint(const Point2D& point, Point2D& closest) const
{
    Require(point, "point");
    const Point2D q = ToLocal(point);
    // Work with the major axis first and in the first quadrant; mirror back at the end.
    const bool swapped = ry_ > rx_;
    const double a = swapped ? ry_ : rx_, b = swapped ? rx_ : ry_;
    const double y0 = std::fabs(swapped ? q.y : q.x), y1 = std::fabs(swapped ? q.x : q.y);
    Point2D x;
    if (a == 0) {
        x = {0, 0};
    } else if (b == 0) {
        x = {std::min(y0, a), 0};
    } else {
        // Scaled to a unit major axis, so that squares neither overflow nor underflow.
        const Point2D unit = ClosestOnUnitMajorEllipse(b / a, y0 / a, y1 / a);
        x = {a * unit.x, a * unit.y};
    }
    const double distance = Hypot(y0 - x.x, y1 - x.y);
    Point2D local = swapped ? Point2D{x.y, x.x} : x;
    local.x = q.x < 0 ? -local.x : local.x;
    local.y = q.y < 0 ? -local.y : local.y;
    closest = ToWorld(local);
    return distance;
}

bool TarnEllipse::WithinFullEllipse(const Point2D& point) const
{
    Require(point, "point");
    const Point2D q = ToLocal(point);
    if (rx_ == 0 || ry_ == 0)
        return (rx_ == 0 ? q.x == 0 && std::fabs(q.y) <= ry_ : q.y == 0 && std::fabs(q.x) <= rx_);
    const double u = q.x / rx_, v = q.y / ry_;
    return u * u + v * v <= 1;
}

int TarnEllipse::Intersections(const Line2D& line, Point2D& p1, Point2D& p2) const
{
    Require(line, "line");
    const double len = Length(line.direction);
    const Point2D u{line.direction.x / len, line.direction.y / len};
    // Offset of the centre from the line (left positive), formed exactly; the foot of the
    // perpendicular from the centre is centre - h·n with n the left normal.
    const double h = ExactLineCross(line, {cx_, cy_}) / len;
    const Point2D ul{cos_ * u.x + sin_ * u.y, cos_ * u.y - sin_ * u.x};
    const Point2D foot{h * ul.y, -h * ul.x};
    const double m = Hypot(ry_ * ul.x, rx_ * ul.y); // support of the ellipse along n
    const double gap = m - std::fabs(h);
    const double band = kTangencyBand * std::max(rx_, ry_);
    if (m == 0) {
        // A point, or a line along a zero-width ellipse.
        if (std::fabs(h) > band)
            return 0;
        if (rx_ == 0 && ry_ == 0) {
            p1 = {cx_, cy_};
            return 1;
        }
        const Point2D end = ToWorld(rx_ == 0 ? Point2D{0, ry_} : Point2D{rx_, 0});
        const Point2D other{2 * cx_ - end.x, 2 * cy_ - end.y};
        const bool endFirst = Dot(end - other, line.direction) < 0;
        p1 = endFirst ? end : other;
        p2 = endFirst ? other : end;
        return 2;
    }
    if (gap < -kTangencyBand * m)
        return 0;
    const double t0 = -(foot.x * ul.x * ry_ * ry_ + foot.y * ul.y * rx_ * rx_) / (m * m);
    const double half =
        gap <= kTangencyBand * m ? 0 : rx_ * ry_ * std::sqrt(gap * (m + std::fabs(h))) / (m * m);
    if (half == 0) {
        p1 = ToWorld(foot + t0 * ul);
        return 1;
    }
    p1 = ToWorld(foot + (t0 - half) * ul);
    p2 = ToWorld(foot + (t0 + half) * ul);
    return 2;
}

} // namespace Ostrel::Vision::Private
