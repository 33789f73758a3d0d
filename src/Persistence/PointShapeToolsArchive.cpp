// Archives of the point-to-shape distance tools: the base part, the point marker and the
// shape, then the last run's outputs.
#include <Geometry/DistancePointCircleTool.h>

#include "ArchiveSupport.h"

OSTREL_GEOMETRY_CLASS_VERSION(DistancePointCircleTool)

namespace Ostrel::Vision::Geometry {

using Persistence::ToolFields;

template <class Archive>
void DistancePointCircleTool::serialize(Archive& ar, std::uint32_t version)
{
    ToolFields(ar, version, *this, "DistancePointCircleTool")
        .Inputs(point_, circle_)
        .LastRun(result_.distance, result_.circleX, result_.circleY);
}

} // namespace Ostrel::Vision::Geometry

OSTREL_GEOMETRY_REGISTER_TOOL(DistancePointCircleTool)
