#include <Geometry/CreateSegmentTool.h>

#include "ConstructionSupport.h"

namespace Ostrel::Vision::Geometry {

static constexpr CreateSegmentTool::Row createSegmentRow{
    "Segment",
    "InputSegment",
    "InputSegment",
    {"Segment.StartX", "Segment.StartY", "Segment.EndX", "Segment.EndY"},
    {"GetOutputSegment()", "GetOutputSegment().CreateLine()"},
    CreateSegmentTool::SfGetOutputSegment,
    true,
    &Tools::MappedIntoImage<LineSegment>};

CreateSegmentTool::CreateSegmentTool(ObjectCreateAccessToken) : PassThroughTool(createSegmentRow) {}
CreateSegmentTool::CreateSegmentTool() : CreateSegmentTool(MakeAccessToken()) {}
CreateSegmentTool::~CreateSegmentTool() = default;

} // namespace Ostrel::Vision::Geometry
