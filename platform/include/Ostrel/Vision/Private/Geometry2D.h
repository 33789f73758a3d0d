#pragma once
// Plain geometry values of the primitives: point, line, segment and circle, with their
// affine mapping, and the point-to-segment distance.
//
// Lines are a point on the line and a direction vector (any non-zero length); segments
// their start and end; circles their centre and radius. The values are aggregates without
// invariants: every primitive validates what it reads (PrimitiveFailure on non-finite
// coordinates, a negative radius, a zero direction).

#include <cmath>

// The transforms are declared only: the primitives take them by reference, and the
// plain values stay free of the framework's reflection and archive headers.
namespace Ostrel::Vision {
class Transform2DLinear;
} // namespace Ostrel::Vision

namespace Ostrel::Vision::Private {

struct Point2D {
    double x = 0;
    double y = 0;
};

inline Point2D operator+(Point2D a, Point2D b)
{
    return {a.x + b.x, a.y + b.y};
}
inline Point2D operator-(Point2D a, Point2D b)
{
    return {a.x - b.x, a.y - b.y};
}
inline Point2D operator*(double s, Point2D a)
{
    return {s * a.x, s * a.y};
}
inline bool operator==(Point2D a, Point2D b)
{
    return a.x == b.x && a.y == b.y;
}
inline double Dot(Point2D a, Point2D b)
{
    return a.x * b.x + a.y * b.y;
}
inline double Cross(Point2D a, Point2D b)
{
    return a.x * b.y - a.y * b.x;
}
// sqrt(x² + y²) to about an ulp, without overflow or underflow: the plain square root of
// the sum when the squares stay well inside the exponent range (the common case, a few
// times cheaper than std::hypot), std::hypot otherwise (and for zero or non-finite input).
inline double Hypot(double x, double y)
{
    const double s = x * x + y * y;
    if (s > 0x1p-960 && s < 0x1p960)
        return std::sqrt(s);
    return std::hypot(x, y);
}
inline double Length(Point2D a)
{
    return Hypot(a.x, a.y);
}
inline double Distance(Point2D a, Point2D b)
{
    return Hypot(a.x - b.x, a.y - b.y);
}

struct Line2D {
    Point2D point;
    Point2D direction;
};

struct Segment2D {
    Point2D start;
    Point2D end;
};

struct Circle2D {
    Point2D center;
    double radius = 0;
};

Point2D MapLinear(const Point2D& point, const Transform2DLinear& transform);
// The image line: the mapped point and the mapped direction. A singular transform may
// give a zero direction, which the primitives reject.
Line2D MapLinear(const Line2D& line, const Transform2DLinear& transform);
Segment2D MapLinear(const Segment2D& segment, const Transform2DLinear& transform);

// PrimitiveFailure unless the value is finite (and, for a circle, its radius >= 0; for a
// line, its direction non-zero).
void CheckValue(const Point2D& point, const char* what);
void CheckValue(const Line2D& line, const char* what);
void CheckValue(const Segment2D& segment, const char* what);
void CheckValue(const Circle2D& circle, const char* what);

// a·b - c·d with a single rounding error (Kahan's fused-multiply-add scheme): the cross
// products of nearly parallel vectors keep their relative accuracy.
inline double DiffOfProducts(double a, double b, double c, double d)
{
    const double cd = c * d;
    const double err = std::fma(-c, d, cd);
    return std::fma(a, b, -cd) + err;
}

// Signed distance from `point` to `line`, positive on the left of the direction. The
// difference point - line.point is formed exactly (two-sum) so that a line whose reference
// point lies far away still gives the offset to full relative accuracy.
double SignedLineOffset(const Line2D& line, const Point2D& point);

// Distance from `point` to `segment`; `closest` receives the nearest point of the segment.
// The projection parameter is clamped to [0, 1]; a zero-length segment is its start
// point. Accurate to a few ulps of the segment's size.
double DistancePointSegment(const Point2D& point, const Segment2D& segment, Point2D& closest);

} // namespace Ostrel::Vision::Private
