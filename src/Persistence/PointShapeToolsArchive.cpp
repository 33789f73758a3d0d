// Archives of the point-to-shape distance tools: the base part, the point marker and the
// shape, then the last run's distance and closest point.
#include <Geometry/DistancePointCircleTool.h>
#include <Geometry/DistancePointEllipseTool.h>
#include <Geometry/DistancePointLineTool.h>
#include <Geometry/DistancePointSegmentTool.h>

#include "ArchiveSupport.h"

// A tool's class version, its fields and its registration under its qualified name.
#define OSTREL_POINT_SHAPE_TOOL_ARCHIVE(Tool)                                                                       \
    OSTREL_GEOMETRY_CLASS_VERSION(Tool)                                                                             \
    template <class Archive>                                                                                        \
    void Ostrel::Vision::Geometry::Tool::serialize(Archive& ar, std::uint32_t version)                             \
    {                                                                                                               \
        Persistence::ToolFields(ar, version, *this, #Tool)                                                          \
            .Inputs(point_, shape_)                                                                                 \
            .LastRun(result_.distance, result_.x, result_.y);                                                       \
    }                                                                                                               \
    OSTREL_GEOMETRY_REGISTER_TOOL(Tool)

OSTREL_POINT_SHAPE_TOOL_ARCHIVE(DistancePointCircleTool)
OSTREL_POINT_SHAPE_TOOL_ARCHIVE(DistancePointLineTool)
OSTREL_POINT_SHAPE_TOOL_ARCHIVE(DistancePointSegmentTool)
OSTREL_POINT_SHAPE_TOOL_ARCHIVE(DistancePointEllipseTool)
