// Archives of the shape-to-shape distance tools: the base part, shapes A and B, then the
// last run's distance and the closest points on A and on B.
#include <Geometry/DistanceCircleCircleTool.h>
#include <Geometry/DistanceLineCircleTool.h>
#include <Geometry/DistanceLineEllipseTool.h>
#include <Geometry/DistanceSegmentCircleTool.h>
#include <Geometry/DistanceSegmentEllipseTool.h>
#include <Geometry/DistanceSegmentLineTool.h>
#include <Geometry/DistanceSegmentSegmentTool.h>

#include "ArchiveSupport.h"

// A tool's class version, its fields and its registration under its qualified name.
#define OSTREL_SHAPE_PAIR_TOOL_ARCHIVE(Tool)                                                                        \
    OSTREL_GEOMETRY_CLASS_VERSION(Tool)                                                                             \
    template <class Archive>                                                                                        \
    void Ostrel::Vision::Geometry::Tool::serialize(Archive& ar, std::uint32_t version)                             \
    {                                                                                                               \
        Persistence::ToolFields(ar, version, *this, #Tool)                                                          \
            .Inputs(a_, b_)                                                                                         \
            .LastRun(result_.distance, result_.aX, result_.aY, result_.bX, result_.bY);                             \
    }                                                                                                               \
    OSTREL_GEOMETRY_REGISTER_TOOL(Tool)

OSTREL_SHAPE_PAIR_TOOL_ARCHIVE(DistanceCircleCircleTool)
OSTREL_SHAPE_PAIR_TOOL_ARCHIVE(DistanceLineCircleTool)
OSTREL_SHAPE_PAIR_TOOL_ARCHIVE(DistanceLineEllipseTool)
OSTREL_SHAPE_PAIR_TOOL_ARCHIVE(DistanceSegmentLineTool)
OSTREL_SHAPE_PAIR_TOOL_ARCHIVE(DistanceSegmentSegmentTool)
OSTREL_SHAPE_PAIR_TOOL_ARCHIVE(DistanceSegmentCircleTool)
OSTREL_SHAPE_PAIR_TOOL_ARCHIVE(DistanceSegmentEllipseTool)
