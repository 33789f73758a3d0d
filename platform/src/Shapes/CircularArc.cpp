#include <algorithm>
#include <cmath>

#include <Ostrel/Vision/CircularArc.h>
#include <Ostrel/Vision/Exceptions.h>

#include "ShapeChecks.h"
#include "ShapeMath.h"

namespace Ostrel::Vision {

using namespace Private::ShapeChecks;
using namespace Private::ShapeMath;

namespace {
// How far a transform may be from a similarity and still map a circular arc onto a
// circular arc: composing a handful of rounded similarities stays orders of magnitude
// below it, while an anisotropy this small is far below what any display shows.
constexpr double SimilarityTolerance = 1e-9;
} // namespace

CircularArc::CircularArc(ObjectCreateAccessToken) {}

void CircularArc::setCenterX(double value)
{
    CheckFinite(value, "CenterX");
    Set_(centerX_, value, SfCenterX);
}

void CircularArc::setCenterY(double value)
{
    CheckFinite(value, "CenterY");
    Set_(centerY_, value, SfCenterY);
}

void CircularArc::setRadius(double value)
{
    CheckFiniteNonNegative(value, "Radius");
    Set_(radius_, value, SfRadius);
}

void CircularArc::setAngleStart(double value)
{
    CheckFinite(value, "AngleStart");
    Set_(angleStart_, value, SfAngleStart);
}

void CircularArc::setAngleSpan(double value)
{
    CheckFinite(value, "AngleSpan");
    Set_(angleSpan_, value, SfAngleSpan);
}

void CircularArc::setStartPointAdornment(LineSegmentAdornmentConstants value)
{
    CheckEnum(value, LineSegmentAdornmentConstants::None, LineSegmentAdornmentConstants::Arrow,
              "StartPointAdornment");
    Set_(startPointAdornment_, value, SfStartPointAdornment);
}

void CircularArc::setEndPointAdornment(LineSegmentAdornmentConstants value)
{
    CheckEnum(value, LineSegmentAdornmentConstants::None, LineSegmentAdornmentConstants::Arrow, "EndPointAdornment");
    Set_(endPointAdornment_, value, SfEndPointAdornment);
}

void CircularArc::SetCenterRadiusAngleStartAngleSpan(double centerX, double centerY, double radius,
                                                     double angleStart, double angleSpan)
{
    CheckFinite(centerX, "CenterX");
    CheckFinite(centerY, "CenterY");
    CheckFiniteNonNegative(radius, "Radius");
    CheckFinite(angleStart, "AngleStart");
    CheckFinite(angleSpan, "AngleSpan");
    OnChanged_(Assign_(centerX_, centerX, SfCenterX) | Assign_(centerY_, centerY, SfCenterY) |
               Assign_(radius_, radius, SfRadius) | Assign_(angleStart_, angleStart, SfAngleStart) |
               Assign_(angleSpan_, angleSpan, SfAngleSpan));
}

void CircularArc::GetCenterRadiusAngleStartAngleSpan(double& centerX, double& centerY, double& radius,
                                                     double& angleStart, double& angleSpan) const
{
    centerX = centerX_;
    centerY = centerY_;
    radius = radius_;
    angleStart = angleStart_;
    angleSpan = angleSpan_;
}

std::shared_ptr<CircularArc> CircularArc::Copy(std::uint32_t copyShapeMode) const
{
    auto copy = Quill::Create<CircularArc>();
    copy->CopyGraphicPartsFrom(*this, copyShapeMode);
    copy->centerX_ = centerX_;
    copy->centerY_ = centerY_;
    copy->radius_ = radius_;
    copy->angleStart_ = angleStart_;
    copy->angleSpan_ = angleSpan_;
    copy->startPointAdornment_ = startPointAdornment_;
    copy->endPointAdornment_ = endPointAdornment_;
    return copy;
}

std::shared_ptr<CircularArc> CircularArc::MapLinear(const Transform2DLinear& transform,
                                                    std::uint32_t copyShapeMode) const
{
    CheckTransform(transform);
    const double a = transform.A(), b = transform.B(), c = transform.C(), d = transform.D();
    const double tolerance = SimilarityTolerance * std::max({std::abs(a), std::abs(b), std::abs(c), std::abs(d)});
    const bool turning = std::abs(a - d) <= tolerance && std::abs(b + c) <= tolerance;
    const bool mirroring = std::abs(a + d) <= tolerance && std::abs(b - c) <= tolerance;
    const double det = a * d - b * c;
    if (!(turning || mirroring) || det == 0)
        throw ShapeException("The transform does not keep circles round: a circular arc cannot be mapped by it.");

    double centerX, centerY;
    transform.MapPoint(centerX_, centerY_, centerX, centerY);
    const double radius = std::sqrt(std::abs(det)) * radius_;
    const double angleStart = MapDirection(transform, angleStart_);
    CheckMappedFinite({centerX, centerY, radius});
    const Transform2DLinear childTransform = LinearPart(transform);
    auto mapped = Copy(0);
    mapped->CopyGraphicPartsFrom(*this, copyShapeMode, &childTransform);
    mapped->centerX_ = centerX;
    mapped->centerY_ = centerY;
    mapped->radius_ = radius;
    mapped->angleStart_ = angleStart;
    mapped->angleSpan_ = det > 0 ? angleSpan_ : -angleSpan_;
    return mapped;
}

void CircularArc::GetReferencePoint(double& x, double& y) const
{
    x = centerX_;
    y = centerY_;
}

std::shared_ptr<GraphicBase> CircularArc::CopyGraphic(std::uint32_t copyShapeMode) const
{
    return Copy(copyShapeMode);
}

std::shared_ptr<GraphicBase> CircularArc::MapLinearGraphic(const Transform2DLinear& transform,
                                                           std::uint32_t copyShapeMode) const
{
    return MapLinear(transform, copyShapeMode);
}

} // namespace Ostrel::Vision
