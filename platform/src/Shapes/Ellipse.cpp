#include <Ostrel/Vision/Ellipse.h>

#include "ShapeChecks.h"
#include "ShapeMath.h"

namespace Ostrel::Vision {

using namespace Private::ShapeChecks;
using namespace Private::ShapeMath;

Ellipse::Ellipse(ObjectCreateAccessToken) {}

void Ellipse::setCenterX(double value)
{
    CheckFinite(value, "CenterX");
    Set_(centerX_, value, SfCenterX);
}

void Ellipse::setCenterY(double value)
{
    CheckFinite(value, "CenterY");
    Set_(centerY_, value, SfCenterY);
}

void Ellipse::setRadiusX(double value)
{
    CheckFiniteNonNegative(value, "RadiusX");
    Set_(radiusX_, value, SfRadiusX);
}

void Ellipse::setRadiusY(double value)
{
    CheckFiniteNonNegative(value, "RadiusY");
    Set_(radiusY_, value, SfRadiusY);
}

void Ellipse::setRotation(double value)
{
    CheckFinite(value, "Rotation");
    Set_(rotation_, value, SfRotation);
}

void Ellipse::SetCenterXYRadiusXYRotation(double centerX, double centerY, double radiusX, double radiusY,
                                          double rotation)
{
    CheckFinite(centerX, "CenterX");
    CheckFinite(centerY, "CenterY");
    CheckFiniteNonNegative(radiusX, "RadiusX");
    CheckFiniteNonNegative(radiusY, "RadiusY");
    CheckFinite(rotation, "Rotation");
    OnChanged_(Assign_(centerX_, centerX, SfCenterX) | Assign_(centerY_, centerY, SfCenterY) |
               Assign_(radiusX_, radiusX, SfRadiusX) | Assign_(radiusY_, radiusY, SfRadiusY) |
               Assign_(rotation_, rotation, SfRotation));
}

void Ellipse::GetCenterXYRadiusXYRotation(double& centerX, double& centerY, double& radiusX, double& radiusY,
                                          double& rotation) const
{
    centerX = centerX_;
    centerY = centerY_;
    radiusX = radiusX_;
    radiusY = radiusY_;
    rotation = rotation_;
}

std::shared_ptr<Ellipse> Ellipse::Copy(std::uint32_t copyShapeMode) const
{
    auto copy = Quill::Create<Ellipse>();
    copy->CopyGraphicPartsFrom(*this, copyShapeMode);
    copy->centerX_ = centerX_;
    copy->centerY_ = centerY_;
    copy->radiusX_ = radiusX_;
    copy->radiusY_ = radiusY_;
    copy->rotation_ = rotation_;
    return copy;
}

std::shared_ptr<Ellipse> Ellipse::MapLinear(const Transform2DLinear& transform, std::uint32_t copyShapeMode) const
{
    CheckTransform(transform);
    const EllipseGeometry image = MapEllipse(transform, {centerX_, centerY_, radiusX_, radiusY_, rotation_});
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

void Ellipse::GetReferencePoint(double& x, double& y) const
{
    x = centerX_;
    y = centerY_;
}

std::shared_ptr<GraphicBase> Ellipse::CopyGraphic(std::uint32_t copyShapeMode) const
{
    return Copy(copyShapeMode);
}

std::shared_ptr<GraphicBase> Ellipse::MapLinearGraphic(const Transform2DLinear& transform,
                                                       std::uint32_t copyShapeMode) const
{
    return MapLinear(transform, copyShapeMode);
}

} // namespace Ostrel::Vision
