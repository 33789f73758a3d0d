#include <Ostrel/Vision/GraphicLabel.h>

#include "ShapeChecks.h"
#include "ShapeMath.h"

namespace Ostrel::Vision {

using namespace Private::ShapeChecks;
using namespace Private::ShapeMath;

GraphicLabel::GraphicLabel(ObjectCreateAccessToken) {}

void GraphicLabel::setText(const std::string& value)
{
    Set_(text_, value, SfText);
}

void GraphicLabel::setX(double value)
{
    CheckFinite(value, "X");
    Set_(x_, value, SfX);
}

void GraphicLabel::setY(double value)
{
    CheckFinite(value, "Y");
    Set_(y_, value, SfY);
}

void GraphicLabel::setAlignment(GraphicLabelAlignmentConstants value)
{
    CheckEnum(value, GraphicLabelAlignmentConstants::TopLeft, GraphicLabelAlignmentConstants::BottomRight,
              "Alignment");
    Set_(alignment_, value, SfAlignment);
}

std::shared_ptr<GraphicLabel> GraphicLabel::Copy(std::uint32_t copyShapeMode) const
{
    auto copy = Quill::Create<GraphicLabel>();
    copy->CopyGraphicPartsFrom(*this, copyShapeMode);
    copy->text_ = text_;
    copy->x_ = x_;
    copy->y_ = y_;
    copy->alignment_ = alignment_;
    return copy;
}

std::shared_ptr<GraphicLabel> GraphicLabel::MapLinear(const Transform2DLinear& transform,
                                                      std::uint32_t copyShapeMode) const
{
    CheckTransform(transform);
    double x, y;
    transform.MapPoint(x_, y_, x, y);
    CheckMappedFinite({x, y});
    const Transform2DLinear childTransform = LinearPart(transform);
    auto mapped = Copy(0);
    mapped->CopyGraphicPartsFrom(*this, copyShapeMode, &childTransform);
    mapped->x_ = x;
    mapped->y_ = y;
    return mapped;
}

void GraphicLabel::GetReferencePoint(double& x, double& y) const
{
    x = x_;
    y = y_;
}

std::shared_ptr<GraphicBase> GraphicLabel::CopyGraphic(std::uint32_t copyShapeMode) const
{
    return Copy(copyShapeMode);
}

std::shared_ptr<GraphicBase> GraphicLabel::MapLinearGraphic(const Transform2DLinear& transform,
                                                            std::uint32_t copyShapeMode) const
{
    return MapLinear(transform, copyShapeMode);
}

} // namespace Ostrel::Vision
