// Archives of the point-pair tools: the base part, the two markers, then the last run's
// record copies and outputs.
#include <Geometry/AnglePointPointTool.h>
#include <Geometry/DistancePointPointTool.h>

#include "ArchiveSupport.h"

OSTREL_GEOMETRY_CLASS_VERSION(DistancePointPointTool)
OSTREL_GEOMETRY_CLASS_VERSION(AnglePointPointTool)

namespace Ostrel::Vision::Geometry {

using Persistence::ToolFields;

template <class Archive>
void DistancePointPointTool::serialize(Archive& ar, std::uint32_t version)
{
    ToolFields(ar, version, *this, "DistancePointPointTool")
        .Inputs(start_, end_)
        .LastRun(copies_.start, copies_.end, result_.distance, result_.angle);
}

template <class Archive>
void AnglePointPointTool::serialize(Archive& ar, std::uint32_t version)
{
    ToolFields(ar, version, *this, "AnglePointPointTool")
        .Inputs(start_, end_)
        .LastRun(copies_.start, copies_.end, result_.angle);
}

} // namespace Ostrel::Vision::Geometry

OSTREL_GEOMETRY_REGISTER_TOOL(DistancePointPointTool)
OSTREL_GEOMETRY_REGISTER_TOOL(AnglePointPointTool)
