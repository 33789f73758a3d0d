#pragma once
// What the legacy conversions of the tools share: the fetch of a marker input's marker.

#include <Geometry/Implementation/GeometryToolBase.h>
#include <Ostrel/Vision/Legacy.h>

namespace Ostrel::Vision::Geometry::Persistence {

// The marker of a marker input, read as a plain object fetch of `name`: a missing name
// stops the conversion; a property that holds something other than a point marker keeps
// the tool's own marker and is logged, since a tool cannot work without its markers.
inline void ConvertMarker(const Vision::Implementation::Internal::ObjectInfo& info, const char* name, void* context,
                          Implementation::MarkerInput& input)
{
    using namespace Vision::Implementation::Internal;
    if (auto marker = FetchObject<PointMarker>(info, name, context))
        input.Replace(std::move(marker));
    else
        info.Log(LogHeaderConstants::Warning,
                 std::string("The property holds no point marker; the tool keeps its own, error for field: ") + name);
}

} // namespace Ostrel::Vision::Geometry::Persistence
