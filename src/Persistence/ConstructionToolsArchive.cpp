// Archives of the construction tools: the output-style base part, the input shapes and
// points, then what the last run left (display copies of the inputs, the output and its
// display copy).
#include <Geometry/CreateCircleTool.h>
#include <Geometry/CreateEllipseTool.h>
#include <Geometry/CreateLineBisectPointsTool.h>
#include <Geometry/CreateLineParallelTool.h>
#include <Geometry/CreateLinePerpendicularTool.h>
#include <Geometry/CreateLineTool.h>
#include <Geometry/CreateSegmentAvgSegsTool.h>
#include <Geometry/CreateSegmentTool.h>

#include "ArchiveSupport.h"

// A tool's class version, its fields in the order given and its registration under its
// qualified name.
#define OSTREL_CONSTRUCTION_TOOL_ARCHIVE(Tool, inputs, lastRun)                                                     \
    OSTREL_GEOMETRY_CLASS_VERSION(Tool)                                                                             \
    template <class Archive>                                                                                        \
    void Ostrel::Vision::Geometry::Tool::serialize(Archive& ar, std::uint32_t version)                             \
    {                                                                                                               \
        Persistence::ToolFields(ar, version, *this, #Tool).Inputs inputs.LastRun lastRun;                           \
    }                                                                                                               \
    OSTREL_GEOMETRY_REGISTER_TOOL(Tool)

// The pass-through tools: their shape, then the output and its display copy.
#define OSTREL_PASS_THROUGH_TOOL_ARCHIVE(Tool)                                                                      \
    OSTREL_CONSTRUCTION_TOOL_ARCHIVE(Tool, (shape_), (output_.shape, output_.copy))

OSTREL_PASS_THROUGH_TOOL_ARCHIVE(CreateSegmentTool)
OSTREL_PASS_THROUGH_TOOL_ARCHIVE(CreateLineTool)
OSTREL_PASS_THROUGH_TOOL_ARCHIVE(CreateCircleTool)
OSTREL_PASS_THROUGH_TOOL_ARCHIVE(CreateEllipseTool)

// Loading replaces the tools' markers and follows the new ones (MarkerInput::Replace).
#define OSTREL_LINE_THROUGH_POINT_TOOL_ARCHIVE(Tool)                                                                \
    OSTREL_CONSTRUCTION_TOOL_ARCHIVE(Tool, (point_, line_), (copies_.point, copies_.line, output_.shape, output_.copy))

OSTREL_LINE_THROUGH_POINT_TOOL_ARCHIVE(CreateLineParallelTool)
OSTREL_LINE_THROUGH_POINT_TOOL_ARCHIVE(CreateLinePerpendicularTool)

OSTREL_CONSTRUCTION_TOOL_ARCHIVE(CreateLineBisectPointsTool, (start_, end_),
                                 (copies_.start, copies_.end, output_.shape, output_.copy))
OSTREL_CONSTRUCTION_TOOL_ARCHIVE(CreateSegmentAvgSegsTool, (segmentA_, segmentB_),
                                 (copies_.a, copies_.b, output_.shape, output_.copy))
