// Conversion of the tool bases from archives of the previous product generation.
#include <Geometry/Implementation/GeometryToolBaseOutputStyle.h>
#include <Ostrel/Vision/Legacy.h>

namespace Ostrel::Vision::Geometry::Implementation {

using namespace Vision::Implementation::Internal;

void GeometryToolBase::Orv9xConvert(long long handle, void* context)
{
    const ObjectInfo& info = LookUpObjectInfo(context, handle);
    ToolBase::Orv9xConvert(handle, context);
    // Older archives name the image "mInputImage"; a failed fetch is logged and the image
    // stays as constructed.
    if (!FetchObjectGuarded(info, "InputImage", context, inputImage_))
        FetchObjectGuarded(info, "mInputImage", context, inputImage_);
}

void GeometryToolBaseOutputStyle::Orv9xConvert(long long handle, void* context)
{
    const ObjectInfo& info = LookUpObjectInfo(context, handle);
    GeometryToolBase::Orv9xConvert(handle, context);
    outputColor_ = info.FetchColor32("mOutputColor");
    const auto style = FetchValue<std::int32_t>(info, "mOutputLineStyle");
    if (style < 0 || style > static_cast<std::int32_t>(GraphicLineStyleConstants::DashDotDot))
        throw std::runtime_error("Bad Fetch, mOutputLineStyle holds the unknown line style " + std::to_string(style));
    outputLineStyle_ = static_cast<GraphicLineStyleConstants>(style);
    const auto width = FetchValue<std::int32_t>(info, "mOutputLineWidthInScreenPixels");
    if (width < 0)
        throw std::runtime_error("Bad Fetch, mOutputLineWidthInScreenPixels holds the negative width " +
                                 std::to_string(width));
    outputLineWidthInScreenPixels_ = width;
}

} // namespace Ostrel::Vision::Geometry::Implementation
