// Conversion of the graphic label tool: the base parts, the input values, the label and
// the colour; a label that formats its text gets its legacy format string converted.
#include <Geometry/CreateGraphicLabelTool.h>
#include <Geometry/Implementation/LegacyFormatString.h>
#include <Ostrel/Vision/Legacy.h>

namespace Ostrel::Vision::Geometry {

using namespace Vision::Implementation::Internal;

void CreateGraphicLabelTool::Orv9xConvert(long long handle, void* context)
{
    const ObjectInfo& info = LookUpObjectInfo(context, handle);
    GeometryToolBase::Orv9xConvert(handle, context);
    inputs_.boolean = FetchValue<bool>(info, "mInputBoolean");
    inputs_.real = FetchValue<double>(info, "mInputDouble");
    inputs_.integer = FetchValue<std::int32_t>(info, "mInputInteger");
    inputs_.result = static_cast<ToolResultConstants>(FetchValue<std::int32_t>(info, "mInputToolResultConstant"));
    inputs_.selector =
        static_cast<CreateGraphicLabelSourceSelectorConstants>(FetchValue<std::uint32_t>(info, "mSourceSelector"));
    label_ = FetchObject<GraphicLabel>(info, "mInputGraphicLabel", context);
    outputColor_ = info.FetchColor32("mOutputColor");
    if (label_ && inputs_.selector == CreateGraphicLabelSourceSelectorConstants::FormattedText)
        label_->setText(Implementation::ConvertLegacyFormatString(label_->Text()));
}

[[maybe_unused]] const bool graphicLabelLegacyTypeRegistered = [] {
    Orv9xConverter::Register<CreateGraphicLabelTool>("CreateGraphicLabelTool");
    return true;
}();

} // namespace Ostrel::Vision::Geometry
