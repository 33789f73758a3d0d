#include <Geometry/DistanceSegmentCircleTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

static constexpr DistanceSegmentCircleTool::Row distanceSegmentCircleRow{
    {"Segment", "Segment"},
    {"InputCircle", "Circle"},
    {"SegmentX", "SegmentY", "CircleX", "CircleY"},
    DistanceSegmentCircleTool::SfDistance | DistanceSegmentCircleTool::SfSegmentX |
        DistanceSegmentCircleTool::SfSegmentY | DistanceSegmentCircleTool::SfCircleX |
        DistanceSegmentCircleTool::SfCircleY,
    &MathUtils::DistanceSegmentCircle};

DistanceSegmentCircleTool::DistanceSegmentCircleTool(ObjectCreateAccessToken)
    : ShapePairDistanceTool(distanceSegmentCircleRow)
{
    a_->SetStartEnd(160, 10, 120, 50);
    b_->SetCenterRadius(40, 30, 20);
}

DistanceSegmentCircleTool::DistanceSegmentCircleTool() : DistanceSegmentCircleTool(MakeAccessToken()) {}
DistanceSegmentCircleTool::~DistanceSegmentCircleTool() = default;

} // namespace Ostrel::Vision::Geometry
