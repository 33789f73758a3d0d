#include <Geometry/CreateSegmentTool.h>

#include "ConstructionSupport.h"

namespace Ostrel::Vision::Geometry {

using T = CreateSegmentTool;
static constexpr T::Row row{"Segment", "InputSegment", "InputSegment",
                            {"Segment.StartX", "Segment.StartY", "Segment.EndX", "Segment.EndY"},
                            {"GetOutputSegment()", "GetOutputSegment().CreateLine()"},
                            T::SfGetOutputSegment, true, &Tools::MappedIntoImage<LineSegment>};

T::CreateSegmentTool(ObjectCreateAccessToken) : PassThroughTool(row) {}
T::CreateSegmentTool() : CreateSegmentTool(MakeAccessToken()) {}
T::~CreateSegmentTool() = default;

} // namespace Ostrel::Vision::Geometry
