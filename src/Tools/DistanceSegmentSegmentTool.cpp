#include <Geometry/DistanceSegmentSegmentTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

static constexpr DistanceSegmentSegmentTool::Row distanceSegmentSegmentRow{
    {"SegmentA", "SegmentA"},
    {"SegmentB", "SegmentB"},
    {"SegmentAX", "SegmentAY", "SegmentBX", "SegmentBY"},
    DistanceSegmentSegmentTool::SfDistance | DistanceSegmentSegmentTool::SfSegmentAX |
        DistanceSegmentSegmentTool::SfSegmentAY | DistanceSegmentSegmentTool::SfSegmentBX |
        DistanceSegmentSegmentTool::SfSegmentBY,
    &MathUtils::DistanceSegmentSegment};

DistanceSegmentSegmentTool::DistanceSegmentSegmentTool(ObjectCreateAccessToken)
    : ShapePairDistanceTool(distanceSegmentSegmentRow)
{
    a_->SetStartEnd(60, 10, 70, 50);
    b_->SetStartEnd(160, 10, 150, 50);
}

DistanceSegmentSegmentTool::DistanceSegmentSegmentTool() : DistanceSegmentSegmentTool(MakeAccessToken()) {}
DistanceSegmentSegmentTool::~DistanceSegmentSegmentTool() = default;

} // namespace Ostrel::Vision::Geometry
