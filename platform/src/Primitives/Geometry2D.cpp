#include <Ostrel/Vision/Private/Geometry2D.h>

#include <Ostrel/Vision/Private/PrimitiveFailure.h>
#include <Ostrel/Vision/Transform2D.h>

#include "RoundShapesDetail.h"

namespace Ostrel::Vision::Private {

Point2D MapLinear(const Point2D& point, const Transform2DLinear& transform)
{
    Point2D out;
    transform.MapPoint(point.x, point.y, out.x, out.y);
    return out;
}

Line2D MapLinear(const Line2D& line, const Transform2DLinear& transform)
{
    Line2D out{MapLinear(line.point, transform), {}};
    transform.MapVector(line.direction.x, line.direction.y, out.direction.x, out.direction.y);
    return out;
}

Segment2D MapLinear(const Segment2D& segment, const Transform2DLinear& transform)
{
    return {MapLinear(segment.start, transform), MapLinear(segment.end, transform)};
}

void CheckValue(const Point2D& point, const char* what)
{
    if (!std::isfinite(point.x) || !std::isfinite(point.y))
        throw PrimitiveFailure(PrimitiveFailureKind::NonFiniteInput,
                               std::string("The coordinates of the ") + what + " are not finite numbers.");
}

void CheckValue(const Line2D& line, const char* what)
{
    CheckValue(line.point, what);
    CheckValue(line.direction, what);
    if (line.direction.x == 0 && line.direction.y == 0)
        throw PrimitiveFailure(PrimitiveFailureKind::DegenerateShape,
                               std::string("The ") + what +
                                   " has no direction (its direction vector is zero).");
}

void CheckValue(const Segment2D& segment, const char* what)
{
    CheckValue(segment.start, what);
    CheckValue(segment.end, what);
}

void CheckValue(const Circle2D& circle, const char* what)
{
    CheckValue(circle.center, what);
    CheckFinite(circle.radius, "radius");
    if (circle.radius < 0)
        throw PrimitiveFailure(PrimitiveFailureKind::InvalidArgument,
                               std::string("The radius of the ") + what + " is negative.");
}

double SignedLineOffset(const Line2D& line, const Point2D& point)
{
    return ExactLineCross(line, point) / Length(line.direction);
}

double DistancePointSegment(const Point2D& point, const Segment2D& segment, Point2D& closest)
{
    Require(point, "point");
    Require(segment, "segment");
    return PointSegmentDistance(point, segment, closest);
}

} // namespace Ostrel::Vision::Private
