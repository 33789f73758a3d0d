#include <Ostrel/Vision/PointMarker.h>

#include "ShapeChecks.h"
#include "ShapeMath.h"

namespace Ostrel::Vision {

using namespace Private::ShapeChecks;
using namespace Private::ShapeMath;

PointMarker::PointMarker(ObjectCreateAccessToken) {}

void PointMarker::setX(double value)
{
    CheckFinite(value, "X");
    Set_(x_, value, SfX);
}

void PointMarker::setY(double value)
{
    CheckFinite(value, "Y");
    Set_(y_, value, SfY);
}

void PointMarker::setRotation(double value)
{
    CheckFinite(value, "Rotation");
    Set_(rotation_, value, SfRotation);
}

void PointMarker::setSize(std::int32_t value)
{
    CheckNonNegative(value, "Size");
    Set_(size_, value, SfSize);
}

void PointMarker::setGraphicType(PointMarkerGraphicTypeConstants value)
{
    CheckEnum(value, PointMarkerGraphicTypeConstants::Cross, PointMarkerGraphicTypeConstants::Dot, "GraphicType");
    Set_(graphicType_, value, SfGraphicType);
}

void PointMarker::SetCenterRotationSize(double x, double y, double rotation, std::int32_t size)
{
    CheckFinite(x, "X");
    CheckFinite(y, "Y");
    CheckFinite(rotation, "Rotation");
    CheckNonNegative(size, "Size");
    OnChanged_(Assign_(x_, x, SfX) | Assign_(y_, y, SfY) | Assign_(rotation_, rotation, SfRotation) |
               Assign_(size_, size, SfSize));
}

void PointMarker::GetCenterRotationSize(double& x, double& y, double& rotation, std::int32_t& size) const
{
    x = x_;
    y = y_;
    rotation = rotation_;
    size = size_;
}

std::shared_ptr<PointMarker> PointMarker::Copy(std::uint32_t copyShapeMode) const
{
    auto copy = Quill::Create<PointMarker>();
    copy->CopyGraphicPartsFrom(*this, copyShapeMode);
    copy->x_ = x_;
    copy->y_ = y_;
    copy->rotation_ = rotation_;
    copy->size_ = size_;
    copy->graphicType_ = graphicType_;
    return copy;
}

std::shared_ptr<PointMarker> PointMarker::MapLinear(const Transform2DLinear& transform,
                                                    std::uint32_t copyShapeMode) const
{
    CheckTransform(transform);
    double x, y;
    transform.MapPoint(x_, y_, x, y);
    const double rotation = MapDirection(transform, rotation_);
    CheckMappedFinite({x, y});
    const Transform2DLinear childTransform = LinearPart(transform);
    auto mapped = Copy(0);
    mapped->CopyGraphicPartsFrom(*this, copyShapeMode, &childTransform);
    mapped->x_ = x;
    mapped->y_ = y;
    mapped->rotation_ = rotation;
    return mapped;
}

void PointMarker::GetReferencePoint(double& x, double& y) const
{
    x = x_;
    y = y_;
}

std::shared_ptr<GraphicBase> PointMarker::CopyGraphic(std::uint32_t copyShapeMode) const
{
    return Copy(copyShapeMode);
}

std::shared_ptr<GraphicBase> PointMarker::MapLinearGraphic(const Transform2DLinear& transform,
                                                           std::uint32_t copyShapeMode) const
{
    return MapLinear(transform, copyShapeMode);
}

} // namespace Ostrel::Vision
