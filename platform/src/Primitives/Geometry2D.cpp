#include <Ostrel/Vision/Private/Geometry2D.h>

#include <Ostrel/Vision/Private/PrimitiveFailure.h>

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

namespace {
// a - b as an unevaluated sum hi + lo (Knuth's two-sum): exact for any finite a, b.
void TwoDiff(double a, double b, double& hi, double& lo)
{
    hi = a - b;
    const double bb = a - hi;
    lo = (a - (hi + bb)) + (bb - b);
}
} // namespace

double SignedLineOffset(const Line2D& line, const Point2D& point)
{
    double dxh, dxl, dyh, dyl;
    TwoDiff(point.x, line.point.x, dxh, dxl);
    TwoDiff(point.y, line.point.y, dyh, dyl);
    const Point2D u = line.direction;
    const double cross = DiffOfProducts(u.x, dyh, u.y, dxh) + (u.x * dyl - u.y * dxl);
    return cross / Length(u);
}

double DistancePointSegment(const Point2D& point, const Segment2D& segment, Point2D& closest)
{
    CheckValue(point, "point");
    CheckValue(segment, "segment");
    const Point2D d = segment.end - segment.start;
    const double len2 = Dot(d, d);
    double t = 0;
    if (len2 > 0) {
        t = Dot(point - segment.start, d) / len2;
        t = t < 0 ? 0 : (t > 1 ? 1 : t);
    }
    closest = t == 1 ? segment.end : segment.start + t * d;
    return Distance(point, closest);
}

} // namespace Ostrel::Vision::Private
