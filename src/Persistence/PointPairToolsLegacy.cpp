// Conversion of the point-pair tools: the base parts, then the markers "StartPoint" and
// "EndPoint".
#include <Geometry/AnglePointPointTool.h>
#include <Geometry/DistancePointPointTool.h>

#include "LegacySupport.h"

namespace Ostrel::Vision::Geometry {

using namespace Vision::Implementation::Internal;
using Persistence::ConvertMarker;

void DistancePointPointTool::Orv9xConvert(long long handle, void* context)
{
    const ObjectInfo& info = LookUpObjectInfo(context, handle);
    GeometryToolBase::Orv9xConvert(handle, context);
    ConvertMarker(info, "StartPoint", context, start_);
    ConvertMarker(info, "EndPoint", context, end_);
}

void AnglePointPointTool::Orv9xConvert(long long handle, void* context)
{
    const ObjectInfo& info = LookUpObjectInfo(context, handle);
    GeometryToolBase::Orv9xConvert(handle, context);
    ConvertMarker(info, "StartPoint", context, start_);
    ConvertMarker(info, "EndPoint", context, end_);
}

// The legacy type names of the tools, registered when the library is loaded.
[[maybe_unused]] const bool pointPairLegacyTypesRegistered = [] {
    Orv9xConverter::Register<DistancePointPointTool>("DistancePointPointTool");
    Orv9xConverter::Register<AnglePointPointTool>("AnglePointPointTool");
    return true;
}();

} // namespace Ostrel::Vision::Geometry
