#pragma once
// The framework shapes as low-level geometry values, in the space of the computation.
//
// Without an image a shape gives its stored coordinates. With one, each shape is mapped by
// the transform from its own selected space into the image's selected space: a line by
// its point and, through the transform's linear form at that point, its direction; a
// segment by its end points and a polygon by its vertices, with the full transform; a
// circle or an ellipse as an ellipse, by the linear form at its centre (the exact image of
// the shape under that affine map). Plain coordinates are never mapped.

#include <cmath>

#include <Ostrel/Vision/Private/Geometry2D.h>
#include <Ostrel/Vision/Private/Polyline.h>
#include <Ostrel/Vision/Private/TarnEllipse.h>

namespace Ostrel::Vision {
class IImage;
class Circle;
class Ellipse;
class Line;
class LineSegment;
class Polygon;
} // namespace Ostrel::Vision

namespace Ostrel::Vision::Geometry::ShapeValues {

// A plain coordinate pair, checked finite (ArgumentException through the guard).
Vision::Private::Point2D Point(double x, double y);

// Point (X, Y) and direction (cos Rotation, sin Rotation), mapped as described above.
Vision::Private::Line2D Line(const Vision::Line& line, const IImage* image);
Vision::Private::Segment2D Segment(const Vision::LineSegment& segment, const IImage* image);
// The closed chain of the polygon's vertices.
Vision::Private::Polyline Polygon(const Vision::Polygon& polygon, const IImage* image);
// The nearest point of the polygon's outline to `point` and whether `point` is inside, in
// one pass over the stored vertices (each mapped on the way when the transform is linear).
Vision::Private::OutlineNearest NearestOnPolygon(const Vision::Polygon& polygon, const IImage* image,
                                                 const Vision::Private::Point2D& point);
// The circle as stored (used only without an image).
Vision::Private::Circle2D Circle(const Vision::Circle& circle);
// The circle as an ellipse of equal radii and rotation 0, mapped when an image is given.
Vision::Private::TarnEllipse CircleAsEllipse(const Vision::Circle& circle, const IImage* image);
Vision::Private::TarnEllipse Ellipse(const Vision::Ellipse& ellipse, const IImage* image);
// The line's rotation as a direction in the image's space (the linear form at the line's
// point maps it), in (-π, π].
double MapRotation(const Vision::Line& line, const IImage& image);

// The power of two by which a problem is computed: its largest coordinate or radius brought
// near 1 when it lies outside [2^-300, 2^300]. The primitives form squares and products of
// up to three coordinates, which would overflow (or underflow to nothing) beyond that
// range; dividing every length by a power of two is exact, so the scaled problem is the
// same problem, and ordinary problems (scale 1) are computed bit for bit as given.
// Directions are not lengths and are kept.
class ProblemScale {
public:
    template <class... Values> explicit ProblemScale(const Values&... values)
    {
        (Include(values), ...);
        Choose();
    }

    Vision::Private::Point2D Down(Vision::Private::Point2D p) const { return {p.x * down_, p.y * down_}; }
    Vision::Private::Line2D Down(const Vision::Private::Line2D& l) const { return {Down(l.point), l.direction}; }
    Vision::Private::Segment2D Down(const Vision::Private::Segment2D& s) const
    {
        return {Down(s.start), Down(s.end)};
    }
    Vision::Private::Circle2D Down(const Vision::Private::Circle2D& c) const
    {
        return {Down(c.center), c.radius * down_};
    }
    Vision::Private::TarnEllipse Down(const Vision::Private::TarnEllipse& e) const { return e.Scaled(down_); }

    // A distance or point of the scaled problem in the caller's units. ArgumentException
    // when it lies beyond the range of double (shapes more than about 1.8e308 apart).
    double Up(double distance) const;
    Vision::Private::Point2D Up(Vision::Private::Point2D p) const;

private:
    void Include(Vision::Private::Point2D p) { largest_ = std::fmax(largest_, std::fmax(std::fabs(p.x), std::fabs(p.y))); }
    void Include(const Vision::Private::Line2D& l) { Include(l.point); }
    void Include(const Vision::Private::Segment2D& s)
    {
        Include(s.start);
        Include(s.end);
    }
    void Include(const Vision::Private::Circle2D& c)
    {
        Include(c.center);
        largest_ = std::fmax(largest_, std::fabs(c.radius));
    }
    void Include(const Vision::Private::TarnEllipse& e)
    {
        Include(Vision::Private::Point2D{e.CenterX(), e.CenterY()});
        largest_ = std::fmax(largest_, std::fmax(e.RadiusX(), e.RadiusY()));
    }
    void Choose();

    double largest_ = 0;
    double down_ = 1;
    double up_ = 1;
};

} // namespace Ostrel::Vision::Geometry::ShapeValues
