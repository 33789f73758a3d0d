#include <Ostrel/Vision/Circle.h>
#include <Ostrel/Vision/Ellipse.h>

#include "ShapeChecks.h"
#include "ShapeMath.h"

namespace Ostrel::Vision {

using namespace Private::ShapeChecks;
using namespace Private::ShapeMath;

Circle::Circle(ObjectCreateAccessToken) {}

void Circle::setCenterX(double value)
{
    CheckFinite(value, "CenterX");
    Set_(centerX_, value, SfCenterX);
}

void Circle::setCenterY(double value)
{
    CheckFinite(value, "CenterY");
    Set_(centerY_, value, SfCenterY);
}

void Circle::setRadius(double value)
{
    CheckFiniteNonNegative(value, "Radius");
    Set_(radius_, value, SfRadius);
}

void Circle::SetCenterRadius(double centerX, double centerY, double radius)
{
    CheckFinite(centerX, "CenterX");
    CheckFinite(centerY, "CenterY");
    CheckFiniteNonNegative(radius, "Radius");
    OnChanged_(Assign_(centerX_, centerX, SfCenterX) | Assign_(centerY_, centerY, SfCenterY) |
               Assign_(radius_, radius, SfRadius));
}

void Circle::GetCenterRadius(double& centerX, double& centerY, double& radius) const
{
    centerX = centerX_;
    centerY = centerY_;
    radius = radius_;
}

std::shared_ptr<Circle> Circle::Copy(std::uint32_t copyShapeMode) const
{
    auto copy = Quill::Create<Circle>();
    copy->CopyGraphicPartsFrom(*this, copyShapeMode);
    copy->centerX_ = centerX_;
    copy->centerY_ = centerY_;
    copy->radius_ = radius_;
    return copy;
}

std::shared_ptr<Ellipse> Circle::MapLinear(const Transform2DLinear& transform, std::uint32_t copyShapeMode) const
{
    CheckTransform(transform);
    const EllipseGeometry image = MapEllipse(transform, {centerX_, centerY_, radius_, radius_, 0.0});
    CheckMappedFinite({image.centerX, image.centerY, image.radiusX, image.radiusY});
    const Transform2DLinear childTransform = LinearPart(transform);
    auto mapped = Quill::Create<Ellipse>();
    mapped->CopyGraphicPartsFrom(*this, copyShapeMode, &childTransform);
    mapped->centerX_ = image.centerX;
    mapped->centerY_ = image.centerY;
    mapped->radiusX_ = image.radiusX;
    mapped->radiusY_ = image.radiusY;
    mapped->rotation_ = image.rotation;
    return mapped;
}

void Circle::GetReferencePoint(double& x, double& y) const
{
    x = centerX_;
    y = centerY_;
}

std::shared_ptr<GraphicBase> Circle::CopyGraphic(std::uint32_t copyShapeMode) const
{
    return Copy(copyShapeMode);
}

std::shared_ptr<GraphicBase> Circle::MapLinearGraphic(const Transform2DLinear& transform,
                                                      std::uint32_t copyShapeMode) const
{
    return MapLinear(transform, copyShapeMode);
}

} // namespace Ostrel::Vision
