#include <cmath>
#include <string>

#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Line.h>
#include <Ostrel/Vision/Strings.h>

#include "ShapeChecks.h"
#include "ShapeMath.h"

namespace Ostrel::Vision {

using namespace Private::ShapeChecks;
using namespace Private::ShapeMath;

Line::Line(ObjectCreateAccessToken) {}

void Line::setX(double value)
{
    CheckFinite(value, "X");
    Set_(x_, value, SfX);
}

void Line::setY(double value)
{
    CheckFinite(value, "Y");
    Set_(y_, value, SfY);
}

void Line::setRotation(double value)
{
    CheckFinite(value, "Rotation");
    Set_(rotation_, value, SfRotation);
}

void Line::SetXYRotation(double x, double y, double rotation)
{
    CheckFinite(x, "X");
    CheckFinite(y, "Y");
    CheckFinite(rotation, "Rotation");
    OnChanged_(Assign_(x_, x, SfX) | Assign_(y_, y, SfY) | Assign_(rotation_, rotation, SfRotation));
}

void Line::GetXYRotation(double& x, double& y, double& rotation) const
{
    x = x_;
    y = y_;
    rotation = rotation_;
}

void Line::SetFromStartXYEndXY(double startX, double startY, double endX, double endY)
{
    CheckFinite(startX, "startX");
    CheckFinite(startY, "startY");
    CheckFinite(endX, "endX");
    CheckFinite(endY, "endY");
    if (startX == endX && startY == endY)
        throw ShapeException(std::string(Strings::E_OstShape_CoordinatesMustDiffer));
    // The difference of two finite values may overflow; its direction is still that of
    // the halves' difference.
    double dx = endX - startX, dy = endY - startY;
    if (!std::isfinite(dx) || !std::isfinite(dy)) {
        dx = 0.5 * endX - 0.5 * startX;
        dy = 0.5 * endY - 0.5 * startY;
    }
    SetXYRotation(startX, startY, std::atan2(dy, dx));
}

void Line::SetDistanceRotation(double distance, double rotation)
{
    CheckFinite(distance, "distance");
    CheckFinite(rotation, "rotation");
    SetXYRotation(-distance * std::sin(rotation), distance * std::cos(rotation), rotation);
}

std::shared_ptr<Line> Line::Copy(std::uint32_t copyShapeMode) const
{
    auto copy = Quill::Create<Line>();
    copy->CopyGraphicPartsFrom(*this, copyShapeMode);
    copy->x_ = x_;
    copy->y_ = y_;
    copy->rotation_ = rotation_;
    return copy;
}

std::shared_ptr<Line> Line::MapLinear(const Transform2DLinear& transform, std::uint32_t copyShapeMode) const
{
    CheckTransform(transform);
    double x, y;
    transform.MapPoint(x_, y_, x, y);
    const double rotation = MapDirection(transform, rotation_);
    CheckMappedFinite({x, y});
    const Transform2DLinear childTransform = LinearPart(transform);
    auto mapped = Quill::Create<Line>();
    mapped->CopyGraphicPartsFrom(*this, copyShapeMode, &childTransform);
    mapped->x_ = x;
    mapped->y_ = y;
    mapped->rotation_ = rotation;
    return mapped;
}

void Line::GetReferencePoint(double& x, double& y) const
{
    x = x_;
    y = y_;
}

std::shared_ptr<GraphicBase> Line::CopyGraphic(std::uint32_t copyShapeMode) const
{
    return Copy(copyShapeMode);
}

std::shared_ptr<GraphicBase> Line::MapLinearGraphic(const Transform2DLinear& transform,
                                                    std::uint32_t copyShapeMode) const
{
    return MapLinear(transform, copyShapeMode);
}

} // namespace Ostrel::Vision
