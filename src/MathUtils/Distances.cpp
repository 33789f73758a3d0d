// Distances from points and between shapes.
#include <cmath>

#include <Geometry/MathUtils.h>
#include <Ostrel/Vision/Circle.h>
#include <Ostrel/Vision/Ellipse.h>
#include <Ostrel/Vision/Line.h>
#include <Ostrel/Vision/LineSegment.h>
#include <Ostrel/Vision/Polygon.h>
#include <Ostrel/Vision/Private/PrimitiveFailure.h>
#include <Ostrel/Vision/Private/RoundShapes.h>

#include "ShapeValues.h"

namespace Ostrel::Vision::Geometry {

using Vision::Private::GuardPrimitives;
using Vision::Private::Point2D;
using ShapeValues::ProblemScale;

namespace {

// A distance and its two closest points, written to the caller's out-parameters only once
// the computation has succeeded.
struct PairResult {
    double distance = 0;
    Point2D first;
    Point2D second;

    // The result of a scaled problem in the caller's units.
    PairResult Up(const ProblemScale& scale) const { return {scale.Up(distance), scale.Up(first), scale.Up(second)}; }

    double Write(double& firstX, double& firstY, double& secondX, double& secondY) const
    {
        firstX = first.x;
        firstY = first.y;
        secondX = second.x;
        secondY = second.y;
        return distance;
    }
};

struct PointResult {
    double distance = 0;
    Point2D closest;

    PointResult Up(const ProblemScale& scale) const { return {scale.Up(distance), scale.Up(closest)}; }

    double Write(double& x, double& y) const
    {
        x = closest.x;
        y = closest.y;
        return distance;
    }
};

// Foot of the perpendicular from `point` on `line`. The offset along the line is taken from
// the point's difference to the line's reference point, so a reference point far away
// costs only the rounding of that difference.
Point2D Foot(const Vision::Private::Line2D& line, Point2D point)
{
    const Point2D u = line.direction;
    const double t = Vision::Private::Dot(point - line.point, u) / Vision::Private::Dot(u, u);
    return line.point + t * u;
}

// Minus `distance`, keeping an exact 0 positive: a point or outline on the boundary counts
// as inside, and its distance reads 0, not -0.
double Negated(double distance)
{
    return distance == 0 ? 0.0 : -distance;
}

} // namespace

double MathUtils::DistancePointLine(double x, double y, const Line& line, const IImage* image, double& lineX,
                                    double& lineY)
{
    return GuardPrimitives([&] {
        const Point2D given = ShapeValues::Point(x, y);
        const Vision::Private::Line2D value = ShapeValues::Line(line, image);
        Vision::Private::CheckValue(value, "line");
        const ProblemScale scale(given, value);
        const Point2D point = scale.Down(given);
        const Vision::Private::Line2D l = scale.Down(value);
        return PointResult{std::fabs(Vision::Private::SignedLineOffset(l, point)), Foot(l, point)}
            .Up(scale)
            .Write(lineX, lineY);
    });
}

double MathUtils::DistancePointSegment(double x, double y, const LineSegment& segment, const IImage* image,
                                       double& segmentX, double& segmentY)
{
    return GuardPrimitives([&] {
        const Point2D point = ShapeValues::Point(x, y);
        const Vision::Private::Segment2D s = ShapeValues::Segment(segment, image);
        const ProblemScale scale(point, s);
        PointResult r;
        r.distance = Vision::Private::DistancePointSegment(scale.Down(point), scale.Down(s), r.closest);
        return r.Up(scale).Write(segmentX, segmentY);
    });
}

double MathUtils::DistancePointCircle(double x, double y, const Circle& circle, const IImage* image,
                                      double& circleX, double& circleY)
{
    return GuardPrimitives([&] {
        const Point2D point = ShapeValues::Point(x, y);
        PointResult r;
        if (image) {
            const auto e = ShapeValues::CircleAsEllipse(circle, image);
            const ProblemScale scale(point, e);
            r.distance = scale.Down(e).DistanceToPoint(scale.Down(point), r.closest);
            return r.Up(scale).Write(circleX, circleY);
        }
        const auto c = ShapeValues::Circle(circle);
        const ProblemScale scale(point, c);
        r.distance = Vision::Private::DistanceCirclePoint(scale.Down(c), scale.Down(point), r.closest);
        return r.Up(scale).Write(circleX, circleY);
    });
}

double MathUtils::DistancePointEllipse(double x, double y, const Ellipse& ellipse, const IImage* image,
                                       double& ellipseX, double& ellipseY)
{
    return GuardPrimitives([&] {
        const Point2D point = ShapeValues::Point(x, y);
        const auto e = ShapeValues::Ellipse(ellipse, image);
        const ProblemScale scale(point, e);
        PointResult r;
        r.distance = scale.Down(e).DistanceToPoint(scale.Down(point), r.closest);
        return r.Up(scale).Write(ellipseX, ellipseY);
    });
}

double MathUtils::DistancePointPolygon(double x, double y, const Polygon& polygon, const IImage* image,
                                       double& polygonX, double& polygonY)
{
    return GuardPrimitives([&] {
        const Point2D point = ShapeValues::Point(x, y);
        const Vision::Private::OutlineNearest found = ShapeValues::NearestOnPolygon(polygon, image, point);
        PointResult r{found.inside ? Negated(found.distance) : found.distance, found.nearest};
        return r.Write(polygonX, polygonY);
    });
}

double MathUtils::DistanceSegmentLine(const LineSegment& segment, const Line& line, const IImage* image,
                                      double& segmentX, double& segmentY, double& lineX, double& lineY)
{
    return GuardPrimitives([&] {
        const Vision::Private::Segment2D givenS = ShapeValues::Segment(segment, image);
        const Vision::Private::Line2D givenL = ShapeValues::Line(line, image);
        Vision::Private::CheckValue(givenS, "segment");
        Vision::Private::CheckValue(givenL, "line");
        const ProblemScale scale(givenS, givenL);
        const Vision::Private::Segment2D s = scale.Down(givenS);
        const Vision::Private::Line2D l = scale.Down(givenL);
        // Signed offsets of the end points, positive on the left of the line's direction;
        // each carries a single rounding, so the side tests are exact for any end point
        // that lies on the line.
        const double cS = Vision::Private::SignedLineOffset(l, s.start);
        const double cE = Vision::Private::SignedLineOffset(l, s.end);
        PairResult r;
        if ((cS >= 0 && cE <= 0) || (cS <= 0 && cE >= 0))
            return r.Write(segmentX, segmentY, lineX, lineY); // touches or crosses
        const double dS = std::fabs(cS);
        const double dE = std::fabs(cE);
        const Point2D end = dE > dS ? s.start : s.end; // a tie keeps the end point E
        r.distance = dE > dS ? dS : dE;
        r.first = end;
        r.second = Foot(l, end);
        return r.Up(scale).Write(segmentX, segmentY, lineX, lineY);
    });
}

double MathUtils::DistanceSegmentSegment(const LineSegment& segmentA, const LineSegment& segmentB,
                                         const IImage* image, double& segmentAX, double& segmentAY,
                                         double& segmentBX, double& segmentBY)
{
    return GuardPrimitives([&] {
        const Vision::Private::Segment2D givenA = ShapeValues::Segment(segmentA, image);
        const Vision::Private::Segment2D givenB = ShapeValues::Segment(segmentB, image);
        const ProblemScale scale(givenA, givenB);
        const Vision::Private::Segment2D a = scale.Down(givenA), b = scale.Down(givenB);
        PairResult best;
        if (Vision::Private::IntersectSegmentSegment(a, b))
            return best.Write(segmentAX, segmentAY, segmentBX, segmentBY);
        // End points against the other segment in the order A0, A1, B0, B1; a later
        // candidate replaces the best only when strictly nearer.
        best.distance = Vision::Private::DistancePointSegment(a.start, b, best.second);
        best.first = a.start;
        const auto consider = [&best](Point2D onA, Point2D onB, double distance) {
            if (distance < best.distance)
                best = {distance, onA, onB};
        };
        Point2D closest;
        double d = Vision::Private::DistancePointSegment(a.end, b, closest);
        consider(a.end, closest, d);
        d = Vision::Private::DistancePointSegment(b.start, a, closest);
        consider(closest, b.start, d);
        d = Vision::Private::DistancePointSegment(b.end, a, closest);
        consider(closest, b.end, d);
        return best.Up(scale).Write(segmentAX, segmentAY, segmentBX, segmentBY);
    });
}

// The mixed round/straight primitives take the round shape first and return the point on
// the line or segment first, which is the order of these functions' out-parameters.

double MathUtils::DistanceLineCircle(const Line& line, const Circle& circle, const IImage* image,
                                     double& lineX, double& lineY, double& circleX, double& circleY)
{
    return GuardPrimitives([&] {
        const Vision::Private::Line2D l = ShapeValues::Line(line, image);
        PairResult r;
        if (image) {
            const auto e = ShapeValues::CircleAsEllipse(circle, image);
            const ProblemScale scale(l, e);
            r.distance = Vision::Private::DistanceEllipseLine(scale.Down(e), scale.Down(l), r.first, r.second);
            return r.Up(scale).Write(lineX, lineY, circleX, circleY);
        }
        const auto c = ShapeValues::Circle(circle);
        const ProblemScale scale(l, c);
        r.distance = Vision::Private::DistanceCircleLine(scale.Down(c), scale.Down(l), r.first, r.second);
        return r.Up(scale).Write(lineX, lineY, circleX, circleY);
    });
}

double MathUtils::DistanceLineEllipse(const Line& line, const Ellipse& ellipse, const IImage* image,
                                      double& lineX, double& lineY, double& ellipseX, double& ellipseY)
{
    return GuardPrimitives([&] {
        const auto e = ShapeValues::Ellipse(ellipse, image);
        const auto l = ShapeValues::Line(line, image);
        const ProblemScale scale(e, l);
        PairResult r;
        r.distance = Vision::Private::DistanceEllipseLine(scale.Down(e), scale.Down(l), r.first, r.second);
        return r.Up(scale).Write(lineX, lineY, ellipseX, ellipseY);
    });
}

double MathUtils::DistanceSegmentCircle(const LineSegment& segment, const Circle& circle, const IImage* image,
                                        double& segmentX, double& segmentY, double& circleX, double& circleY)
{
    return GuardPrimitives([&] {
        const Vision::Private::Segment2D s = ShapeValues::Segment(segment, image);
        PairResult r;
        if (image) {
            const auto e = ShapeValues::CircleAsEllipse(circle, image);
            const ProblemScale scale(s, e);
            r.distance = Vision::Private::DistanceEllipseSegment(scale.Down(e), scale.Down(s), r.first, r.second);
            return r.Up(scale).Write(segmentX, segmentY, circleX, circleY);
        }
        const auto c = ShapeValues::Circle(circle);
        const ProblemScale scale(s, c);
        r.distance = Vision::Private::DistanceCircleSegment(scale.Down(c), scale.Down(s), r.first, r.second);
        return r.Up(scale).Write(segmentX, segmentY, circleX, circleY);
    });
}

double MathUtils::DistanceSegmentEllipse(const LineSegment& segment, const Ellipse& ellipse,
                                         const IImage* image, double& segmentX, double& segmentY,
                                         double& ellipseX, double& ellipseY)
{
    return GuardPrimitives([&] {
        const auto e = ShapeValues::Ellipse(ellipse, image);
        const auto s = ShapeValues::Segment(segment, image);
        const ProblemScale scale(e, s);
        PairResult r;
        r.distance = Vision::Private::DistanceEllipseSegment(scale.Down(e), scale.Down(s), r.first, r.second);
        return r.Up(scale).Write(segmentX, segmentY, ellipseX, ellipseY);
    });
}

double MathUtils::DistanceCircleCircle(const Circle& circleA, const Circle& circleB, const IImage* image,
                                       double& circleAX, double& circleAY, double& circleBX, double& circleBY)
{
    return GuardPrimitives([&] {
        PairResult r;
        if (image) {
            const auto a = ShapeValues::CircleAsEllipse(circleA, image);
            const auto b = ShapeValues::CircleAsEllipse(circleB, image);
            const ProblemScale scale(a, b);
            r.distance = Vision::Private::DistanceEllipseEllipse(scale.Down(a), scale.Down(b), r.first, r.second);
            return r.Up(scale).Write(circleAX, circleAY, circleBX, circleBY);
        }
        const auto a = ShapeValues::Circle(circleA), b = ShapeValues::Circle(circleB);
        const ProblemScale scale(a, b);
        r.distance = Vision::Private::DistanceCircleCircle(scale.Down(a), scale.Down(b), r.first, r.second);
        return r.Up(scale).Write(circleAX, circleAY, circleBX, circleBY);
    });
}

double MathUtils::DistanceSegmentPolygon(const LineSegment& segment, const Polygon& polygon,
                                         const IImage* image, double& segmentX, double& segmentY,
                                         double& polygonX, double& polygonY)
{
    return GuardPrimitives([&] {
        const Vision::Private::Polyline f = ShapeValues::Polygon(polygon, image);
        const Vision::Private::Polyline g =
            Vision::Private::Polyline::FromSegment(ShapeValues::Segment(segment, image));
        PairResult r; // first: on the segment, second: on the polygon
        Vision::Private::NearestPair(f, g, r.second, r.first);
        r.distance = Vision::Private::Distance(r.second, r.first);
        if (f.Inside(r.first))
            r.distance = Negated(r.distance);
        if (r.distance == 0)
            r.first = r.second = {};
        return r.Write(segmentX, segmentY, polygonX, polygonY);
    });
}

double MathUtils::DistancePolygonPolygon(const Polygon& polygonA, const Polygon& polygonB,
                                         const IImage* image, double& polygonAX, double& polygonAY,
                                         double& polygonBX, double& polygonBY)
{
    return GuardPrimitives([&] {
        const Vision::Private::Polyline f = ShapeValues::Polygon(polygonA, image);
        const Vision::Private::Polyline g = ShapeValues::Polygon(polygonB, image);
        PairResult r;
        Vision::Private::NearestPair(f, g, r.first, r.second);
        r.distance = Vision::Private::Distance(r.first, r.second);
        if (r.distance == 0)
            r.first = r.second = {};
        // B's closest point, after the zero rule: a touching pair tests the origin.
        if (f.Inside(r.second))
            r.distance = Negated(r.distance);
        return r.Write(polygonAX, polygonAY, polygonBX, polygonBY);
    });
}

} // namespace Ostrel::Vision::Geometry
