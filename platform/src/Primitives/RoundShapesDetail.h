#pragma once
// Helpers shared by the primitives' sources: input checks with an inlined fast path, the
// exact line offset, and the crossing steps that several queries share.

#include <algorithm>
#include <cmath>

#include <Ostrel/Vision/Private/Geometry2D.h>
#include <Ostrel/Vision/Private/TarnEllipse.h>

namespace Ostrel::Vision::Private {

// The checks of Geometry2D.h with the common case (all finite, radius >= 0, direction
// non-zero) decided inline; only a failing value goes on to the throwing check.
inline void Require(const Point2D& point, const char* what)
{
    if (!(std::isfinite(point.x) && std::isfinite(point.y)))
        CheckValue(point, what);
}
inline void Require(const Segment2D& segment, const char* what)
{
    if (!(std::isfinite(segment.start.x) && std::isfinite(segment.start.y) && std::isfinite(segment.end.x) &&
          std::isfinite(segment.end.y)))
        CheckValue(segment, what);
}
inline void Require(const Line2D& line, const char* what)
{
    if (!(std::isfinite(line.point.x) && std::isfinite(line.point.y) && std::isfinite(line.direction.x) &&
          std::isfinite(line.direction.y) && (line.direction.x != 0 || line.direction.y != 0)))
        CheckValue(line, what);
}
inline void Require(const Circle2D& circle, const char* what)
{
    if (!(std::isfinite(circle.center.x) && std::isfinite(circle.center.y) && std::isfinite(circle.radius) &&
          circle.radius >= 0))
        CheckValue(circle, what);
}

// Cross product of the line's direction with point - line.point, the difference formed
// exactly (two-sum), so that a reference point far away loses nothing: divided by the
// direction's length it is the signed offset of SignedLineOffset.
inline double ExactLineCross(const Line2D& line, const Point2D& point)
{
    const auto twoDiff = [](double a, double b, double& hi, double& lo) {
        hi = a - b;
        const double bb = a - hi;
        lo = (a - (hi + bb)) + (bb - b);
    };
    double dxh, dxl, dyh, dyl;
    twoDiff(point.x, line.point.x, dxh, dxl);
    twoDiff(point.y, line.point.y, dyh, dyl);
    const Point2D u = line.direction;
    return DiffOfProducts(u.x, dyh, u.y, dxh) + (u.x * dyl - u.y * dxl);
}

// DistancePointSegment without the checks.
inline double PointSegmentDistance(const Point2D& point, const Segment2D& segment, Point2D& closest)
{
    const Point2D d = segment.end - segment.start;
    const double len2 = Dot(d, d);
    double t = 0;
    if (len2 > 0) {
        t = Dot(point - segment.start, d) / len2;
        t = t < 0 ? 0 : (t > 1 ? 1 : t);
    }
    if (t > 0 && t < 1) {
        // The foot of the perpendicular, from the point's exact offset across the segment:
        // the parameter t has the resolution of the segment's length, which would move a
        // foot far from both ends (a short distance to a long segment) by more than the
        // distance itself.
        const double length = std::sqrt(len2);
        const double offset = ExactLineCross({segment.start, d}, point) / length; // left positive
        closest = {point.x + offset * (d.y / length), point.y - offset * (d.x / length)};
        return std::fabs(offset);
    }
    closest = t == 1 ? segment.end : segment.start;
    return Distance(point, closest);
}

// The crossings of a checked circle and line (IntersectCircleLine without the checks):
// 0, 1 (tangent within the band) or 2 points along the line's direction.
int CircleLineCrossings(const Circle2D& circle, const Line2D& line, Point2D& p1, Point2D& p2);

// Keeps the line crossings that lie on the closed segment, in order from its start. A
// crossing computed a rounding error beyond an end still counts: the tolerance on the
// parameter is kTangencyBand of the larger of the shape's size and the segment's length.
inline int KeepOnSegment(const Segment2D& segment, double shapeSize, int lineCount, Point2D q1, Point2D q2,
                         Point2D& p1, Point2D& p2)
{
    const Point2D d = segment.end - segment.start;
    const double len2 = Dot(d, d);
    const double tol = TarnEllipse::kTangencyBand * std::max(1.0, shapeSize / std::sqrt(len2));
    int count = 0;
    const Point2D found[2] = {q1, q2};
    for (int i = 0; i < lineCount; ++i) {
        const double t = Dot(found[i] - segment.start, d) / len2;
        if (t >= -tol && t <= 1 + tol)
            (count++ == 0 ? p1 : p2) = found[i];
    }
    return count;
}

} // namespace Ostrel::Vision::Private
