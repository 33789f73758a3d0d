// The archive of the graphic label tool: the base part, the input label and values, the
// selector and the colour, then the last run's label and its display copy.
#include <Geometry/CreateGraphicLabelTool.h>

#include "ArchiveSupport.h"

OSTREL_GEOMETRY_CLASS_VERSION(CreateGraphicLabelTool)

namespace Ostrel::Vision::Geometry {

template <class Archive>
void CreateGraphicLabelTool::serialize(Archive& ar, std::uint32_t version)
{
    auto result = static_cast<std::int32_t>(inputs_.result);
    auto selector = static_cast<std::int32_t>(inputs_.selector);
    Persistence::ToolFields(ar, version, *this, "CreateGraphicLabelTool")
        .Inputs(label_, inputs_.boolean, inputs_.real, inputs_.integer, result, selector, outputColor_)
        .LastRun(output_.label, output_.copy);
    if constexpr (Archive::is_loading::value) {
        inputs_.result = static_cast<ToolResultConstants>(result);
        inputs_.selector = static_cast<CreateGraphicLabelSourceSelectorConstants>(selector);
    }
}

} // namespace Ostrel::Vision::Geometry

OSTREL_GEOMETRY_REGISTER_TOOL(CreateGraphicLabelTool)
