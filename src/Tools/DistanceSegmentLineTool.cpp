#include <Geometry/DistanceSegmentLineTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

static constexpr DistanceSegmentLineTool::Row distanceSegmentLineRow{
    {"Segment", "Segment"},
    {"Line", "Line"},
    {"SegmentX", "SegmentY", "LineX", "LineY"},
    DistanceSegmentLineTool::SfDistance | DistanceSegmentLineTool::SfSegmentX |
        DistanceSegmentLineTool::SfSegmentY | DistanceSegmentLineTool::SfLineX |
        DistanceSegmentLineTool::SfLineY,
    &MathUtils::DistanceSegmentLine};

DistanceSegmentLineTool::DistanceSegmentLineTool(ObjectCreateAccessToken)
    : ShapePairDistanceTool(distanceSegmentLineRow)
{
    a_->SetStartEnd(160, 10, 120, 20);
    b_->SetXYRotation(10, 10, 0.75);
}

DistanceSegmentLineTool::DistanceSegmentLineTool() : DistanceSegmentLineTool(MakeAccessToken()) {}
DistanceSegmentLineTool::~DistanceSegmentLineTool() = default;

} // namespace Ostrel::Vision::Geometry
