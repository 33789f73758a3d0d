#include "ShapeValues.h"

#include <cmath>
#include <vector>

#include <Ostrel/Vision/Circle.h>
#include <Ostrel/Vision/Ellipse.h>
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

} // namespace Ostrel::Vision::Geometry::ShapeValues
