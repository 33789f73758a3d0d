#include "ShapeValues.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <Ostrel/Vision/Circle.h>
#include <Ostrel/Vision/Ellipse.h>
#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/IImage.h>
#include <Ostrel/Vision/Line.h>
#include <Ostrel/Vision/LineSegment.h>
#include <Ostrel/Vision/Polygon.h>
#include <Ostrel/Vision/Private/Angles.h>
#include <Ostrel/Vision/Transform2D.h>

namespace Ostrel::Vision::Geometry::ShapeValues {

using Vision::Private::Point2D;

namespace {

Point2D MapPoint(const Transform2D& transform, Point2D p)
{
    Point2D mapped;
    transform.MapPoint(p.x, p.y, mapped.x, mapped.y);
    return mapped;
}

} // namespace

Point2D Point(double x, double y)
{
    const Point2D p{x, y};
    Vision::Private::CheckValue(p, "point");
    return p;
}

Vision::Private::Line2D Line(const Vision::Line& line, const IImage* image)
{
    const double rotation = line.Rotation();
    Vision::Private::Line2D value{{line.X(), line.Y()}, {std::cos(rotation), std::sin(rotation)}};
    if (image) {
        const auto transform = image->TransformToImage(line.SelectedSpaceName());
        const Transform2DLinear linear = transform->LinearTransform(value.point.x, value.point.y);
        linear.MapVector(value.direction.x, value.direction.y, value.direction.x, value.direction.y);
        value.point = MapPoint(*transform, value.point);
    }
    return value;
}

Vision::Private::Segment2D Segment(const Vision::LineSegment& segment, const IImage* image)
{
    Vision::Private::Segment2D value{{segment.StartX(), segment.StartY()}, {segment.EndX(), segment.EndY()}};
    if (image) {
        const auto transform = image->TransformToImage(segment.SelectedSpaceName());
        value.start = MapPoint(*transform, value.start);
        value.end = MapPoint(*transform, value.end);
    }
    return value;
}

Vision::Private::Polyline Polygon(const Vision::Polygon& polygon, const IImage* image)
{
    const auto& stored = polygon.Vertices();
    std::vector<Point2D> vertices(stored.size());
    if (image && !stored.empty()) {
        const auto transform = image->TransformToImage(polygon.SelectedSpaceName());
        if (transform->IsLinear()) { // one matrix for all vertices, no call per vertex
            const Transform2DLinear linear = transform->LinearTransform(0, 0);
            for (std::size_t i = 0; i < stored.size(); ++i)
                linear.MapPoint(stored[i].first, stored[i].second, vertices[i].x, vertices[i].y);
        } else {
            for (std::size_t i = 0; i < stored.size(); ++i)
                vertices[i] = MapPoint(*transform, {stored[i].first, stored[i].second});
        }
    } else {
        for (std::size_t i = 0; i < stored.size(); ++i)
            vertices[i] = {stored[i].first, stored[i].second};
    }
    return Vision::Private::Polyline::FromPolygon(std::move(vertices));
}

Vision::Private::OutlineNearest NearestOnPolygon(const Vision::Polygon& polygon, const IImage* image,
                                                 const Point2D& point)
{
    const auto& stored = polygon.Vertices();
    std::shared_ptr<const Transform2D> transform;
    Transform2DLinear linear; // identity without an image
    if (image && !stored.empty()) {
        transform = image->TransformToImage(polygon.SelectedSpaceName());
        if (!transform->IsLinear()) {
            const Vision::Private::Polyline outline = Polygon(polygon, image);
            const auto& v = outline.Vertices();
            return Vision::Private::NearestOnOutline(v.size(), [&](std::size_t i) { return v[i]; }, point);
        }
        linear = transform->LinearTransform(0, 0);
    }
    // Repeated queries on an unchanged polygon use its index; the rest make one pass.
    if (const Vision::Private::OutlineIndex* index = polygon.OutlineIndexFor(linear))
        return index->Nearest(point);
    if (!transform)
        return Vision::Private::NearestOnOutline(
            stored.size(), [&](std::size_t i) { return Point2D{stored[i].first, stored[i].second}; }, point);
    return Vision::Private::NearestOnOutline(
        stored.size(),
        [&](std::size_t i) {
            Point2D mapped;
            linear.MapPoint(stored[i].first, stored[i].second, mapped.x, mapped.y);
            return mapped;
        },
        point);
}

Vision::Private::Circle2D Circle(const Vision::Circle& circle)
{
    return {{circle.CenterX(), circle.CenterY()}, circle.Radius()};
}

Vision::Private::TarnEllipse CircleAsEllipse(const Vision::Circle& circle, const IImage* image)
{
    const Vision::Private::TarnEllipse value(circle.CenterX(), circle.CenterY(), circle.Radius(),
                                             circle.Radius(), 0);
    if (!image)
        return value;
    return value.MapLinear(
        image->LinearTransformToImage(circle.SelectedSpaceName(), circle.CenterX(), circle.CenterY()));
}

Vision::Private::TarnEllipse Ellipse(const Vision::Ellipse& ellipse, const IImage* image)
{
    double cx, cy, rx, ry, rotation;
    ellipse.GetCenterXYRadiusXYRotation(cx, cy, rx, ry, rotation);
    const Vision::Private::TarnEllipse value(cx, cy, rx, ry, rotation);
    if (!image)
        return value;
    return value.MapLinear(image->LinearTransformToImage(ellipse.SelectedSpaceName(), cx, cy));
}

double MapRotation(const Vision::Line& line, const IImage& image)
{
    return Vision::Private::MapAngle(
        image.LinearTransformToImage(line.SelectedSpaceName(), line.X(), line.Y()), line.Rotation());
}

void ProblemScale::Choose()
{
    // Outside this range the primitives' squares and triple products leave the exponent
    // range; inside it they are computed unscaled.
    constexpr double Low = 0x1p-300, High = 0x1p300;
    if (!std::isfinite(largest_) || largest_ == 0 || (largest_ >= Low && largest_ <= High))
        return; // a non-finite value is refused by the primitive that reads it
    // Bounded so that both factors are normal numbers; a problem below 2^-1000 is brought
    // within 2^-24 of 1, which is as near as it needs.
    const int exponent = std::clamp(std::ilogb(largest_), -1000, 1000);
    down_ = std::ldexp(1.0, -exponent);
    up_ = std::ldexp(1.0, exponent);
}

double ProblemScale::Up(double distance) const
{
    const double value = distance * up_;
    if (!std::isfinite(value))
        throw ArgumentException("The shapes lie farther apart than the largest number a double holds (about "
                                "1.8e308): the distance cannot be given.");
    return value;
}

Point2D ProblemScale::Up(Point2D p) const
{
    const Point2D value{p.x * up_, p.y * up_};
    if (!std::isfinite(value.x) || !std::isfinite(value.y))
        throw ArgumentException("A result point lies beyond the largest number a double holds (about 1.8e308).");
    return value;
}

} // namespace Ostrel::Vision::Geometry::ShapeValues
