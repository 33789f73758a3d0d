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

OSTREL_GEOMETRY_CLASS_VERSION(CreateSegmentTool)
OSTREL_GEOMETRY_CLASS_VERSION(CreateLineTool)
OSTREL_GEOMETRY_CLASS_VERSION(CreateCircleTool)
OSTREL_GEOMETRY_CLASS_VERSION(CreateEllipseTool)
OSTREL_GEOMETRY_CLASS_VERSION(CreateLineParallelTool)
OSTREL_GEOMETRY_CLASS_VERSION(CreateLinePerpendicularTool)
OSTREL_GEOMETRY_CLASS_VERSION(CreateLineBisectPointsTool)
OSTREL_GEOMETRY_CLASS_VERSION(CreateSegmentAvgSegsTool)

namespace Ostrel::Vision::Geometry {

using Persistence::ToolFields;

template <class Archive>
void CreateSegmentTool::serialize(Archive& ar, std::uint32_t version)
{
    ToolFields(ar, version, *this, "CreateSegmentTool").Inputs(segment_).LastRun(output_.shape, output_.copy);
}

template <class Archive>
void CreateLineTool::serialize(Archive& ar, std::uint32_t version)
{
    ToolFields(ar, version, *this, "CreateLineTool").Inputs(line_).LastRun(output_.shape, output_.copy);
}

template <class Archive>
void CreateCircleTool::serialize(Archive& ar, std::uint32_t version)
{
    ToolFields(ar, version, *this, "CreateCircleTool").Inputs(circle_).LastRun(output_.shape, output_.copy);
}

template <class Archive>
void CreateEllipseTool::serialize(Archive& ar, std::uint32_t version)
{
    ToolFields(ar, version, *this, "CreateEllipseTool").Inputs(ellipse_).LastRun(output_.shape, output_.copy);
}

// Loading replaces the tools' markers and follows the new ones (MarkerInput::Replace).
template <class Archive>
void CreateLineParallelTool::serialize(Archive& ar, std::uint32_t version)
{
    ToolFields(ar, version, *this, "CreateLineParallelTool")
        .Inputs(point_, line_)
        .LastRun(copies_.point, copies_.line, output_.shape, output_.copy);
}

template <class Archive>
void CreateLinePerpendicularTool::serialize(Archive& ar, std::uint32_t version)
{
    ToolFields(ar, version, *this, "CreateLinePerpendicularTool")
        .Inputs(point_, line_)
        .LastRun(copies_.point, copies_.line, output_.shape, output_.copy);
}

template <class Archive>
void CreateLineBisectPointsTool::serialize(Archive& ar, std::uint32_t version)
{
    ToolFields(ar, version, *this, "CreateLineBisectPointsTool")
        .Inputs(start_, end_)
        .LastRun(copies_.start, copies_.end, output_.shape, output_.copy);
}

template <class Archive>
void CreateSegmentAvgSegsTool::serialize(Archive& ar, std::uint32_t version)
{
    ToolFields(ar, version, *this, "CreateSegmentAvgSegsTool")
        .Inputs(segmentA_, segmentB_)
        .LastRun(copies_.a, copies_.b, output_.shape, output_.copy);
}

} // namespace Ostrel::Vision::Geometry

OSTREL_GEOMETRY_REGISTER_TOOL(CreateSegmentTool)
OSTREL_GEOMETRY_REGISTER_TOOL(CreateLineTool)
OSTREL_GEOMETRY_REGISTER_TOOL(CreateCircleTool)
OSTREL_GEOMETRY_REGISTER_TOOL(CreateEllipseTool)
OSTREL_GEOMETRY_REGISTER_TOOL(CreateLineParallelTool)
OSTREL_GEOMETRY_REGISTER_TOOL(CreateLinePerpendicularTool)
OSTREL_GEOMETRY_REGISTER_TOOL(CreateLineBisectPointsTool)
OSTREL_GEOMETRY_REGISTER_TOOL(CreateSegmentAvgSegsTool)
