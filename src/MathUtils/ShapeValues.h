#pragma once
// The framework shapes as low-level geometry values, in the space of the computation.
//
// Without an image a shape gives its stored coordinates. With one, each shape is mapped by
// the transform from its own selected space into the image's selected space: a line by
// its point and, through the transform's linear form at that point, its direction; a
// segment by its end points and a polygon by its vertices, with the full transform; a
// circle or an ellipse as an ellipse, by the linear form at its centre (the exact image of
// the shape under that affine map). Plain coordinates are never mapped.

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
// The circle as stored (used only without an image).
Vision::Private::Circle2D Circle(const Vision::Circle& circle);
// The circle as an ellipse of equal radii and rotation 0, mapped when an image is given.
Vision::Private::TarnEllipse CircleAsEllipse(const Vision::Circle& circle, const IImage* image);
Vision::Private::TarnEllipse Ellipse(const Vision::Ellipse& ellipse, const IImage* image);
// The line's rotation as a direction in the image's space (the linear form at the line's
// point maps it), in [-π, π).
double MapRotation(const Vision::Line& line, const IImage& image);

} // namespace Ostrel::Vision::Geometry::ShapeValues
