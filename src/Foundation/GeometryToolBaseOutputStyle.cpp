#include <Geometry/Implementation/GeometryToolBaseOutputStyle.h>

namespace Ostrel::Vision::Geometry::Implementation {

GeometryToolBaseOutputStyle::GeometryToolBaseOutputStyle() = default;
GeometryToolBaseOutputStyle::~GeometryToolBaseOutputStyle() = default;

void GeometryToolBaseOutputStyle::setOutputColor(Color32 color)
{
    outputColor_ = color;
    OnChanged_(SfOutputColor | SfCurrentRecord);
}

void GeometryToolBaseOutputStyle::setOutputLineStyle(GraphicLineStyleConstants style)
{
    outputLineStyle_ = style;
    OnChanged_(SfOutputLineStyle | SfCurrentRecord);
}

void GeometryToolBaseOutputStyle::setOutputLineWidthInScreenPixels(std::int32_t width)
{
    if (width < 0)
        throw ArgumentOutOfRangeException(
            Strings::Substitute(Strings::IDS_Ost_InvalidArgGE_2, {"OutputLineWidthInScreenPixels", "0"}));
    outputLineWidthInScreenPixels_ = width;
    OnChanged_(SfOutputLineWidthInScreenPixels | SfCurrentRecord);
}

void GeometryToolBaseOutputStyle::ApplyOutputStyle(GraphicBase& shape) const
{
    shape.setColor(outputColor_);
    shape.setLineWidthInScreenPixels(outputLineWidthInScreenPixels_);
    shape.setLineStyle(outputLineStyle_);
}

} // namespace Ostrel::Vision::Geometry::Implementation
