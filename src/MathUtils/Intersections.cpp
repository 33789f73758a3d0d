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

namespace {

// A count and up to four points, all (0, 0) until set, written to the caller's
// out-parameters only once the computation has succeeded.
struct Crossings {
    int count = 0;
    Point2D p[4];

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
        const Vision::Private::Line2D a = ShapeValues::Line(lineA, &image);
        const Vision::Private::Line2D b = ShapeValues::Line(lineB, &image);
        Vision::Private::CheckValue(a, "line A");
        Vision::Private::CheckValue(b, "line B");
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
        angle = lineAngle;
        return c.Write(count, x, y);
    });
}

bool MathUtils::IntersectSegmentLine(const LineSegment& segment, const Line& line, const IImage* image,
                                     int& count, double& x, double& y)
{
    return GuardPrimitives([&] {
        const Vision::Private::Segment2D s = ShapeValues::Segment(segment, image);
        const Vision::Private::Line2D l = ShapeValues::Line(line, image);
        Vision::Private::CheckValue(s, "segment");
        Vision::Private::CheckValue(l, "line");
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
        return c.Write(count, x, y);
    });
}

bool MathUtils::IntersectSegmentSegment(const LineSegment& segmentA, const LineSegment& segmentB,
                                        const IImage* image, int& count, double& x, double& y)
{
    return GuardPrimitives([&] {
        Crossings c;
        const bool intersects = Vision::Private::IntersectSegmentSegment(
            ShapeValues::Segment(segmentA, image), ShapeValues::Segment(segmentB, image), &c.count, &c.p[0]);
        c.Write(count, x, y);
        return intersects;
    });
}

bool MathUtils::IntersectLineCircle(const Line& line, const Circle& circle, const IImage* image, int& count,
                                    double& x0, double& y0, double& x1, double& y1)
{
    return GuardPrimitives([&] {
        const Vision::Private::Line2D l = ShapeValues::Line(line, image);
        Crossings c;
        if (image)
            c.count = ShapeValues::CircleAsEllipse(circle, image).Intersections(l, c.p[0], c.p[1]);
        else
            Vision::Private::IntersectCircleLine(ShapeValues::Circle(circle), l, c.count, c.p[0], c.p[1]);
        return c.Write(count, x0, y0, x1, y1);
    });
}

bool MathUtils::IntersectLineEllipse(const Line& line, const Ellipse& ellipse, const IImage* image,
                                     int& count, double& x0, double& y0, double& x1, double& y1)
{
    return GuardPrimitives([&] {
        Crossings c;
        c.count = ShapeValues::Ellipse(ellipse, image)
                      .Intersections(ShapeValues::Line(line, image), c.p[0], c.p[1]);
        return c.Write(count, x0, y0, x1, y1);
    });
}

bool MathUtils::IntersectSegmentCircle(const LineSegment& segment, const Circle& circle, const IImage* image,
                                       int& count, double& x0, double& y0, double& x1, double& y1)
{
    return GuardPrimitives([&] {
        const Vision::Private::Segment2D s = ShapeValues::Segment(segment, image);
        Crossings c;
        const bool intersects =
            image ? Vision::Private::IntersectEllipseSegment(ShapeValues::CircleAsEllipse(circle, image), s,
                                                             c.count, c.p[0], c.p[1])
                  : Vision::Private::IntersectCircleSegment(ShapeValues::Circle(circle), s, c.count, c.p[0],
                                                            c.p[1]);
        c.Write(count, x0, y0, x1, y1);
        return intersects;
    });
}

bool MathUtils::IntersectSegmentEllipse(const LineSegment& segment, const Ellipse& ellipse,
                                        const IImage* image, int& count, double& x0, double& y0, double& x1,
                                        double& y1)
{
    return GuardPrimitives([&] {
        Crossings c;
        const bool intersects = Vision::Private::IntersectEllipseSegment(ShapeValues::Ellipse(ellipse, image),
                                                                         ShapeValues::Segment(segment, image),
                                                                         c.count, c.p[0], c.p[1]);
        c.Write(count, x0, y0, x1, y1);
        return intersects;
    });
}

bool MathUtils::IntersectCircleCircle(const Circle& circleA, const Circle& circleB, const IImage* image,
                                      int& count, double& x0, double& y0, double& x1, double& y1, double& x2,
                                      double& y2, double& x3, double& y3)
{
    return GuardPrimitives([&] {
        Crossings c;
        const bool intersects =
            image ? Vision::Private::IntersectEllipseEllipse(ShapeValues::CircleAsEllipse(circleA, image),
                                                             ShapeValues::CircleAsEllipse(circleB, image),
                                                             c.count, c.p[0], c.p[1], c.p[2], c.p[3])
                  : Vision::Private::IntersectCircleCircle(
                        ShapeValues::Circle(circleA), ShapeValues::Circle(circleB), c.count, c.p[0], c.p[1]);
        x2 = c.p[2].x;
        y2 = c.p[2].y;
        x3 = c.p[3].x;
        y3 = c.p[3].y;
        c.Write(count, x0, y0, x1, y1);
        return intersects;
    });
}

} // namespace Ostrel::Vision::Geometry
