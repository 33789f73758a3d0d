#include <Geometry/DistancePointSegmentTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

// Unlike its siblings, the tool's reset raises the distance's flag alone.
static constexpr DistancePointSegmentTool::Row distancePointSegmentRow{
    "Segment",
    "Segment",
    {"SegmentX", "SegmentY"},
    DistancePointSegmentTool::SfDistance,
    DistancePointSegmentTool::SfDistance | DistancePointSegmentTool::SfSegmentX |
        DistancePointSegmentTool::SfSegmentY,
    &MathUtils::DistancePointSegment};

DistancePointSegmentTool::DistancePointSegmentTool(ObjectCreateAccessToken)
    : PointShapeDistanceTool(distancePointSegmentRow, 10, 10)
{
    shape_->SetStartEnd(160, 10, 120, 50);
}

DistancePointSegmentTool::DistancePointSegmentTool() : DistancePointSegmentTool(MakeAccessToken()) {}
DistancePointSegmentTool::~DistancePointSegmentTool() = default;

} // namespace Ostrel::Vision::Geometry
