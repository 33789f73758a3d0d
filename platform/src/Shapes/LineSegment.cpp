#include <cmath>
#include <string>

#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/LineSegment.h>
#include <Ostrel/Vision/Strings.h>

#include "ShapeChecks.h"
#include "ShapeMath.h"

namespace Ostrel::Vision {

using namespace Private::ShapeChecks;
using namespace Private::ShapeMath;

namespace {
// The vector from start to end; halved when the full difference would overflow (the
// direction is the same, and the length doubles back below).
void Direction(double sx, double sy, double ex, double ey, double& dx, double& dy, double& factor)
{
    dx = ex - sx;
    dy = ey - sy;
    factor = 1;
    if (!std::isfinite(dx) || !std::isfinite(dy)) {
        dx = 0.5 * ex - 0.5 * sx;
        dy = 0.5 * ey - 0.5 * sy;
        factor = 2;
    }
}
} // namespace

LineSegment::LineSegment(ObjectCreateAccessToken) {}

void LineSegment::setStartX(double value)
{
    CheckFinite(value, "StartX");
    Set_(startX_, value, SfStartX);
}

void LineSegment::setStartY(double value)
{
    CheckFinite(value, "StartY");
    Set_(startY_, value, SfStartY);
}

void LineSegment::setEndX(double value)
{
    CheckFinite(value, "EndX");
    Set_(endX_, value, SfEndX);
}

void LineSegment::setEndY(double value)
{
    CheckFinite(value, "EndY");
    Set_(endY_, value, SfEndY);
}

void LineSegment::setStartPointAdornment(LineSegmentAdornmentConstants value)
{
    CheckEnum(value, LineSegmentAdornmentConstants::None, LineSegmentAdornmentConstants::Arrow,
              "StartPointAdornment");
    Set_(startPointAdornment_, value, SfStartPointAdornment);
}

void LineSegment::setEndPointAdornment(LineSegmentAdornmentConstants value)
{
    CheckEnum(value, LineSegmentAdornmentConstants::None, LineSegmentAdornmentConstants::Arrow, "EndPointAdornment");
    Set_(endPointAdornment_, value, SfEndPointAdornment);
}

void LineSegment::SetStartEnd(double startX, double startY, double endX, double endY)
{
    CheckFinite(startX, "StartX");
    CheckFinite(startY, "StartY");
    CheckFinite(endX, "EndX");
    CheckFinite(endY, "EndY");
    OnChanged_(Assign_(startX_, startX, SfStartX) | Assign_(startY_, startY, SfStartY) |
               Assign_(endX_, endX, SfEndX) | Assign_(endY_, endY, SfEndY));
}

void LineSegment::GetStartEnd(double& startX, double& startY, double& endX, double& endY) const
{
    startX = startX_;
    startY = startY_;
    endX = endX_;
    endY = endY_;
}

// A segment longer than the largest double has no length to give: ShapeException.
double LineSegment::Length() const
{
    double dx, dy, factor;
    Direction(startX_, startY_, endX_, endY_, dx, dy, factor);
    const double length = factor * std::hypot(dx, dy);
    if (!std::isfinite(length))
        throw ShapeException("The segment is longer than the largest number a double holds (about 1.8e308): "
                             "its length cannot be given.");
    return length;
}

double LineSegment::Rotation() const
{
    double dx, dy, factor;
    Direction(startX_, startY_, endX_, endY_, dx, dy, factor);
    return std::atan2(dy, dx);
}

std::shared_ptr<Line> LineSegment::CreateLine() const
{
    if (startX_ == endX_ && startY_ == endY_)
        throw ShapeException(std::string(Strings::E_OstShape_CoordinatesMustDiffer));
    auto line = Quill::Create<Line>();
    line->CopyGraphicPartsFrom(*this, static_cast<std::uint32_t>(CopyShapeConstants::GraphicProperties));
    line->x_ = startX_;
    line->y_ = startY_;
    line->rotation_ = Rotation();
    return line;
}

std::shared_ptr<LineSegment> LineSegment::Copy(std::uint32_t copyShapeMode) const
{
    auto copy = Quill::Create<LineSegment>();
    copy->CopyGraphicPartsFrom(*this, copyShapeMode);
    copy->startX_ = startX_;
    copy->startY_ = startY_;
    copy->endX_ = endX_;
    copy->endY_ = endY_;
    copy->startPointAdornment_ = startPointAdornment_;
    copy->endPointAdornment_ = endPointAdornment_;
    return copy;
}

std::shared_ptr<LineSegment> LineSegment::MapLinear(const Transform2DLinear& transform,
                                                    std::uint32_t copyShapeMode) const
{
    CheckTransform(transform);
    double sx, sy, ex, ey;
    transform.MapPoint(startX_, startY_, sx, sy);
    transform.MapPoint(endX_, endY_, ex, ey);
    CheckMappedFinite({sx, sy, ex, ey});
    const Transform2DLinear childTransform = LinearPart(transform);
    auto mapped = Quill::Create<LineSegment>();
    mapped->CopyGraphicPartsFrom(*this, copyShapeMode, &childTransform);
    mapped->startX_ = sx;
    mapped->startY_ = sy;
    mapped->endX_ = ex;
    mapped->endY_ = ey;
    mapped->startPointAdornment_ = startPointAdornment_;
    mapped->endPointAdornment_ = endPointAdornment_;
    return mapped;
}

void LineSegment::GetReferencePoint(double& x, double& y) const
{
    x = startX_;
    y = startY_;
}

std::shared_ptr<GraphicBase> LineSegment::CopyGraphic(std::uint32_t copyShapeMode) const
{
    return Copy(copyShapeMode);
}

std::shared_ptr<GraphicBase> LineSegment::MapLinearGraphic(const Transform2DLinear& transform,
                                                           std::uint32_t copyShapeMode) const
{
    return MapLinear(transform, copyShapeMode);
}

} // namespace Ostrel::Vision
