// Conversion of the point-to-shape distance tools: the base parts, then the point marker
// "Point" and the shape under its own name.
#include <Geometry/DistancePointCircleTool.h>

#include "LegacySupport.h"

namespace Ostrel::Vision::Geometry {

using namespace Vision::Implementation::Internal;
using Persistence::ConvertMarker;

void DistancePointCircleTool::Orv9xConvert(long long handle, void* context)
{
    const ObjectInfo& info = LookUpObjectInfo(context, handle);
    GeometryToolBase::Orv9xConvert(handle, context);
    ConvertMarker(info, "Point", context, point_);
    circle_ = FetchObject<Circle>(info, "Circle", context);
}

[[maybe_unused]] const bool pointShapeLegacyTypesRegistered = [] {
    Orv9xConverter::Register<DistancePointCircleTool>("DistancePointCircleTool");
    return true;
}();

} // namespace Ostrel::Vision::Geometry
