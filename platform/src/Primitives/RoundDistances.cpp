#include <Ostrel/Vision/Private/RoundShapes.h>

#include <algorithm>
#include <cmath>
#include <tuple>

#include <Ostrel/Vision/Private/PrimitiveFailure.h>

#include "RoundShapesDetail.h"

namespace Ostrel::Vision::Private {

namespace {

Point2D UnitOr(Point2D v, Point2D fallback)
{
    const double len = Length(v);
    return len > 0 ? Point2D{v.x / len, v.y / len} : fallback;
}

// The outline point of the ellipse whose outward normal is the world direction `normal`
// (unit), and the support value (its distance along `normal` from the centre). A point
// ellipse, or a zero-width one seen edge-on, gives its centre.
Point2D SupportPoint(const TarnEllipse& e, Point2D normal, double& support)
{
    const double c = e.CosRotation(), s = e.SinRotation();
    const Point2D nl{c * normal.x + s * normal.y, c * normal.y - s * normal.x};
    const double rx = e.RadiusX(), ry = e.RadiusY();
    support = Hypot(rx * nl.x, ry * nl.y);
    if (support == 0)
        return {e.CenterX(), e.CenterY()};
    return e.ToWorld({rx * (rx * nl.x) / support, ry * (ry * nl.y) / support});
}

} // namespace

double DistanceCirclePoint(const Circle2D& circle, const Point2D& point, Point2D& closest)
{
    Require(circle, "circle");
    Require(point, "point");
    const Point2D v = point - circle.center;
    const double len = Length(v);
    const Point2D u = len > 0 ? Point2D{v.x / len, v.y / len} : Point2D{1, 0};
    closest = circle.center + circle.radius * u;
    return std::fabs(len - circle.radius);
}

double DistanceCircleLine(const Circle2D& circle, const Line2D& line, Point2D& onLine, Point2D& onCircle)
{
    Require(circle, "circle");
    Require(line, "line");
    const double len = Length(line.direction);
    const double h = ExactLineCross(line, circle.center) / len;
    if (std::fabs(h) <= circle.radius) {
        Point2D p2;
        CircleLineCrossings(circle, line, onLine, p2);
        onCircle = onLine;
        return 0;
    }
    const Point2D u{line.direction.x / len, line.direction.y / len};
    const Point2D towardLine = std::signbit(h) ? Point2D{-u.y, u.x} : Point2D{u.y, -u.x};
    onLine = circle.center + std::fabs(h) * towardLine;
    onCircle = circle.center + circle.radius * towardLine;
    return std::fabs(h) - circle.radius;
}

double DistanceEllipseLine(const TarnEllipse& ellipse, const Line2D& line, Point2D& onLine,
                           Point2D& onEllipse)
{
    Require(line, "line");
    const Point2D center{ellipse.CenterX(), ellipse.CenterY()};
    const double len = Length(line.direction);
    const double h = ExactLineCross(line, center) / len;
    const Point2D u{line.direction.x / len, line.direction.y / len};
    const Point2D towardLine = std::signbit(h) ? Point2D{-u.y, u.x} : Point2D{u.y, -u.x};
    double support = 0;
    const Point2D touch = SupportPoint(ellipse, towardLine, support);
    if (std::fabs(h) <= support) {
        Point2D p2;
        ellipse.Intersections(line, onLine, p2);
        onEllipse = onLine;
        return 0;
    }
    const double distance = std::fabs(h) - support;
    onEllipse = touch;
    onLine = touch + distance * towardLine;
    return distance;
}

double DistanceCircleSegment(const Circle2D& circle, const Segment2D& segment, Point2D& onSegment,
                             Point2D& onCircle)
{
    Require(circle, "circle");
    Require(segment, "segment");
    const double ds = Distance(segment.start, circle.center), de = Distance(segment.end, circle.center);
    if (ds < circle.radius && de < circle.radius) {
        // Wholly inside: the distance to the outline is concave along the segment, so the
        // end farther from the centre comes nearest the outline.
        const Point2D far = de > ds ? segment.end : segment.start;
        const double dFar = de > ds ? de : ds;
        onSegment = far;
        const Point2D v = far - circle.center;
        onCircle = circle.center + circle.radius * (dFar > 0 ? Point2D{v.x / dFar, v.y / dFar} : Point2D{1, 0});
        return circle.radius - std::max(ds, de);
    }
    Point2D nearest;
    const double dq = PointSegmentDistance(circle.center, segment, nearest);
    if (dq <= circle.radius) {
        int count = 0;
        Point2D p2;
        if (IntersectCircleSegment(circle, segment, count, onSegment, p2)) {
            onCircle = onSegment;
            return 0;
        }
    }
    onSegment = nearest;
    const Point2D v = nearest - circle.center;
    onCircle = circle.center + circle.radius * (dq > 0 ? Point2D{v.x / dq, v.y / dq} : Point2D{1, 0});
    return std::max(dq - circle.radius, 0.0);
}

double DistanceEllipseSegment(const TarnEllipse& ellipse, const Segment2D& segment, Point2D& onSegment,
                              Point2D& onEllipse)
{
    Require(segment, "segment");
    const auto fromEnd = [&](const Point2D& end) {
        const double d = ellipse.DistanceToPoint(end, onEllipse);
        onSegment = end;
        return d;
    };
    const auto nearerEnd = [&]() {
        Point2D cs, ce;
        const double ds = ellipse.DistanceToPoint(segment.start, cs);
        const double de = ellipse.DistanceToPoint(segment.end, ce);
        const bool start = ds <= de;
        onSegment = start ? segment.start : segment.end;
        onEllipse = start ? cs : ce;
        return start ? ds : de;
    };
    const double size = std::max(ellipse.RadiusX(), ellipse.RadiusY());
    if (segment.start == segment.end) {
        const double d = fromEnd(segment.start);
        if (d > TarnEllipse::kTangencyBand * size)
            return d;
        onEllipse = onSegment;
        return 0;
    }
    if (ellipse.WithinFullEllipse(segment.start) && ellipse.WithinFullEllipse(segment.end)) {
        // Wholly inside unless an end lies on the outline.
        const double d = nearerEnd();
        if (d > 0)
            return d;
    }
    const Point2D d = segment.end - segment.start;
    Point2D q1, q2, p2;
    const int lineCount = ellipse.Intersections({segment.start, d}, q1, q2);
    if (KeepOnSegment(segment, size, lineCount, q1, q2, onSegment, p2) != 0) {
        onEllipse = onSegment;
        return 0;
    }
    // Outside: the distance to the filled ellipse is convex along the line. When the line
    // misses the ellipse, its closest point is the minimum if on the segment, and otherwise
    // the end on that point's side is; when the line crosses, the end nearer the chord is.
    Point2D lineP, ellipseP;
    const double lineDistance = DistanceEllipseLine(ellipse, {segment.start, d}, lineP, ellipseP);
    const double len2 = Dot(d, d);
    if (lineDistance > 0) {
        const double t = Dot(lineP - segment.start, d) / len2;
        if (t > 0 && t < 1) {
            onSegment = lineP;
            onEllipse = ellipseP;
            return lineDistance;
        }
        return fromEnd(t <= 0 ? segment.start : segment.end);
    }
    if (lineCount > 0) {
        const double t1 = Dot(q1 - segment.start, d) / len2;
        const double t2 = lineCount == 2 ? Dot(q2 - segment.start, d) / len2 : t1;
        if (t1 > 1)
            return fromEnd(segment.end);
        if (t2 < 0)
            return fromEnd(segment.start);
    }
    return nearerEnd();
}

namespace {

bool CanonicalFirst(const Circle2D& a, const Circle2D& b)
{
    return std::tie(a.center.x, a.center.y, a.radius) <= std::tie(b.center.x, b.center.y, b.radius);
}

double DistanceOrderedCircles(const Circle2D& p, const Circle2D& q, Point2D& onP, Point2D& onQ)
{
    const Point2D v = q.center - p.center;
    const double d = Length(v);
    const Point2D u = d > 0 ? Point2D{v.x / d, v.y / d} : Point2D{1, 0};
    if (d >= p.radius + q.radius) {
        onP = p.center + p.radius * u;
        onQ = q.center - q.radius * u;
        return d - (p.radius + q.radius);
    }
    if (d <= std::fabs(p.radius - q.radius)) {
        // Nested: the outlines come nearest on the side towards which the inner circle is
        // offset from the outer one's centre (+x when concentric).
        const bool pOuter = p.radius >= q.radius;
        const Circle2D& outer = pOuter ? p : q;
        const Circle2D& inner = pOuter ? q : p;
        const Point2D w = UnitOr(inner.center - outer.center, {1, 0});
        (pOuter ? onP : onQ) = outer.center + outer.radius * w;
        (pOuter ? onQ : onP) = inner.center + inner.radius * w;
        return std::fabs(p.radius - q.radius) - d;
    }
    int count = 0;
    Point2D p2;
    if (!IntersectCircleCircle(p, q, count, onP, p2))
        onP = p.center + p.radius * u;
    onQ = onP;
    return 0;
}

} // namespace

double DistanceCircleCircle(const Circle2D& a, const Circle2D& b, Point2D& onA, Point2D& onB)
{
    Require(a, "first circle");
    Require(b, "second circle");
    // Computed for the circles in a canonical order, so that the result does not depend
    // on the order of the arguments.
    if (CanonicalFirst(a, b))
        return DistanceOrderedCircles(a, b, onA, onB);
    return DistanceOrderedCircles(b, a, onB, onA);
}

} // namespace Ostrel::Vision::Private
