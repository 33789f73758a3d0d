// Intersections of lines, segments, circles and ellipses.
#include <Geometry/MathUtils.h>
#include <Ostrel/Vision/Circle.h>
#include <Ostrel/Vision/Ellipse.h>
#include <Ostrel/Vision/IImage.h>
#include <Ostrel/Vision/Line.h>
#include <Ostrel/Vision/LineSegment.h>
#include <Ostrel/Vision/Private/Angles.h>
#include <Ostrel/Vision/Private/PrimitiveFailure.h>
#include <Ostrel/Vision/Private/RoundShapes.h>

#include "ShapeValues.h"

namespace Ostrel::Vision::Geometry {

using Vision::Private::GuardPrimitives;
using Vision::Private::Point2D;
using ShapeValues::ProblemScale;

namespace {

// A count and up to four points, all (0, 0) until set, written to the caller's
// out-parameters only once the computation has succeeded.
struct Crossings {
    int count = 0;
    Point2D p[4];

    // The crossings of a scaled problem in the caller's units.
    Crossings Up(const ProblemScale& scale) const
    {
        Crossings up{count, {}};
        for (int i = 0; i < 4; ++i)
            up.p[i] = scale.Up(p[i]);
        return up;
    }

    bool Write(int& countOut, double& x0, double& y0) const
    {
        countOut = count;
        x0 = p[0].x;
        y0 = p[0].y;
        return count != 0;
    }
    bool Write(int& countOut, double& x0, double& y0, double& x1, double& y1) const
    {
        x1 = p[1].x;
        y1 = p[1].y;
        return Write(countOut, x0, y0);
    }
};

} // namespace

bool MathUtils::IntersectLineLine(const Line& lineA, const Line& lineB, const IImage& image, int& count,
                                  double& x, double& y, double& angle)
{
    return GuardPrimitives([&] {
        const Vision::Private::Line2D givenA = ShapeValues::Line(lineA, &image);
        const Vision::Private::Line2D givenB = ShapeValues::Line(lineB, &image);
        Vision::Private::CheckValue(givenA, "line A");
        Vision::Private::CheckValue(givenB, "line B");
        const ProblemScale scale(givenA, givenB);
        const Vision::Private::Line2D a = scale.Down(givenA), b = scale.Down(givenB);
        Crossings c;
        const double d =
            Vision::Private::DiffOfProducts(a.direction.x, b.direction.y, a.direction.y, b.direction.x);
        if (d != 0) {
            const Point2D ab = b.point - a.point;
            const double s = Vision::Private::DiffOfProducts(ab.x, b.direction.y, ab.y, b.direction.x) / d;
            c.count = 1;
            c.p[0] = a.point + s * a.direction;
        } else if (Vision::Private::SignedLineOffset(a, b.point) == 0) {
            c.count = -1; // the same line: its reference point represents it
            c.p[0] = a.point;
        }
        const double lineAngle = Vision::Private::AngleLineLine(a, b);
        c = c.Up(scale);
        angle = lineAngle;
        return c.Write(count, x, y);
    });
}

bool MathUtils::IntersectSegmentLine(const LineSegment& segment, const Line& line, const IImage* image,
                                     int& count, double& x, double& y)
{
    return GuardPrimitives([&] {
        const Vision::Private::Segment2D givenS = ShapeValues::Segment(segment, image);
        const Vision::Private::Line2D givenL = ShapeValues::Line(line, image);
        Vision::Private::CheckValue(givenS, "segment");
        Vision::Private::CheckValue(givenL, "line");
        const ProblemScale scale(givenS, givenL);
        const Vision::Private::Segment2D s = scale.Down(givenS);
        const Vision::Private::Line2D l = scale.Down(givenL);
        // Signed offsets of the end points from the line, each with a single rounding: an
        // end point on the line gives exactly 0, so both ends of the segment count, and the
        // crossing parameter t = cS / (cS - cE) lies in [0, 1] by construction.
        const double cS = Vision::Private::SignedLineOffset(l, s.start);
        const double cE = Vision::Private::SignedLineOffset(l, s.end);
        Crossings c;
        if (cS == cE) { // parallel
            if (cS == 0) {
                c.count = -1; // the segment lies on the line
                c.p[0] = s.start;
            }
        } else if (!((cS > 0 && cE > 0) || (cS < 0 && cE < 0))) {
            c.count = 1;
            c.p[0] = cS == 0 ? s.start : cE == 0 ? s.end : s.start + (cS / (cS - cE)) * (s.end - s.start);
        }
        return c.Up(scale).Write(count, x, y);
    });
}

bool MathUtils::IntersectSegmentSegment(const LineSegment& segmentA, const LineSegment& segmentB,
                                        const IImage* image, int& count, double& x, double& y)
{
    return GuardPrimitives([&] {
        const auto a = ShapeValues::Segment(segmentA, image), b = ShapeValues::Segment(segmentB, image);
        const ProblemScale scale(a, b);
        Crossings c;
        const bool intersects =
            Vision::Private::IntersectSegmentSegment(scale.Down(a), scale.Down(b), &c.count, &c.p[0]);
        c.Up(scale).Write(count, x, y);
        return intersects;
    });
}

bool MathUtils::IntersectLineCircle(const Line& line, const Circle& circle, const IImage* image, int& count,
                                    double& x0, double& y0, double& x1, double& y1)
{
    return GuardPrimitives([&] {
        const Vision::Private::Line2D l = ShapeValues::Line(line, image);
        Crossings c;
        if (image) {
            const auto e = ShapeValues::CircleAsEllipse(circle, image);
            const ProblemScale scale(l, e);
            c.count = scale.Down(e).Intersections(scale.Down(l), c.p[0], c.p[1]);
            return c.Up(scale).Write(count, x0, y0, x1, y1);
        }
        const auto circleValue = ShapeValues::Circle(circle);
        const ProblemScale scale(l, circleValue);
        Vision::Private::IntersectCircleLine(scale.Down(circleValue), scale.Down(l), c.count, c.p[0], c.p[1]);
        return c.Up(scale).Write(count, x0, y0, x1, y1);
    });
}

bool MathUtils::IntersectLineEllipse(const Line& line, const Ellipse& ellipse, const IImage* image,
                                     int& count, double& x0, double& y0, double& x1, double& y1)
{
    return GuardPrimitives([&] {
        const auto e = ShapeValues::Ellipse(ellipse, image);
        const auto l = ShapeValues::Line(line, image);
        const ProblemScale scale(e, l);
        Crossings c;
        c.count = scale.Down(e).Intersections(scale.Down(l), c.p[0], c.p[1]);
        return c.Up(scale).Write(count, x0, y0, x1, y1);
    });
}

bool MathUtils::IntersectSegmentCircle(const LineSegment& segment, const Circle& circle, const IImage* image,
                                       int& count, double& x0, double& y0, double& x1, double& y1)
{
    return GuardPrimitives([&] {
        const Vision::Private::Segment2D s = ShapeValues::Segment(segment, image);
        Crossings c;
        bool intersects;
        if (image) {
            const auto e = ShapeValues::CircleAsEllipse(circle, image);
            const ProblemScale scale(s, e);
            intersects =
                Vision::Private::IntersectEllipseSegment(scale.Down(e), scale.Down(s), c.count, c.p[0], c.p[1]);
            c = c.Up(scale);
        } else {
            const auto circleValue = ShapeValues::Circle(circle);
            const ProblemScale scale(s, circleValue);
            intersects = Vision::Private::IntersectCircleSegment(scale.Down(circleValue), scale.Down(s), c.count,
                                                                 c.p[0], c.p[1]);
            c = c.Up(scale);
        }
        c.Write(count, x0, y0, x1, y1);
        return intersects;
    });
}

bool MathUtils::IntersectSegmentEllipse(const LineSegment& segment, const Ellipse& ellipse,
                                        const IImage* image, int& count, double& x0, double& y0, double& x1,
                                        double& y1)
{
    return GuardPrimitives([&] {
        const auto e = ShapeValues::Ellipse(ellipse, image);
        const auto s = ShapeValues::Segment(segment, image);
        const ProblemScale scale(e, s);
        Crossings c;
        const bool intersects =
            Vision::Private::IntersectEllipseSegment(scale.Down(e), scale.Down(s), c.count, c.p[0], c.p[1]);
        c.Up(scale).Write(count, x0, y0, x1, y1);
        return intersects;
    });
}

bool MathUtils::IntersectCircleCircle(const Circle& circleA, const Circle& circleB, const IImage* image,
                                      int& count, double& x0, double& y0, double& x1, double& y1, double& x2,
                                      double& y2, double& x3, double& y3)
{
    return GuardPrimitives([&] {
        Crossings c;
        bool intersects;
        if (image) {
            const auto a = ShapeValues::CircleAsEllipse(circleA, image);
            const auto b = ShapeValues::CircleAsEllipse(circleB, image);
            const ProblemScale scale(a, b);
            intersects = Vision::Private::IntersectEllipseEllipse(scale.Down(a), scale.Down(b), c.count, c.p[0],
                                                                  c.p[1], c.p[2], c.p[3]);
            c = c.Up(scale);
        } else {
            const auto a = ShapeValues::Circle(circleA), b = ShapeValues::Circle(circleB);
            const ProblemScale scale(a, b);
            intersects =
                Vision::Private::IntersectCircleCircle(scale.Down(a), scale.Down(b), c.count, c.p[0], c.p[1]);
            c = c.Up(scale);
        }
        x2 = c.p[2].x;
        y2 = c.p[2].y;
        x3 = c.p[3].x;
        y3 = c.p[3].y;
        c.Write(count, x0, y0, x1, y1);
        return intersects;
    });
}

} // namespace Ostrel::Vision::Geometry
