#include <Geometry/DistanceLineCircleTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

static constexpr DistanceLineCircleTool::Row distanceLineCircleRow{
    {"Line", "Line"},
    {"InputCircle", "Circle"},
    {"LineX", "LineY", "CircleX", "CircleY"},
    DistanceLineCircleTool::SfDistance | DistanceLineCircleTool::SfLineX | DistanceLineCircleTool::SfLineY |
        DistanceLineCircleTool::SfCircleX | DistanceLineCircleTool::SfCircleY,
    &MathUtils::DistanceLineCircle};

DistanceLineCircleTool::DistanceLineCircleTool(ObjectCreateAccessToken)
    : ShapePairDistanceTool(distanceLineCircleRow)
{
    a_->SetFromStartXYEndXY(10, 10, 40, 20);
    b_->SetCenterRadius(50, 100, 20);
}

DistanceLineCircleTool::DistanceLineCircleTool() : DistanceLineCircleTool(MakeAccessToken()) {}
DistanceLineCircleTool::~DistanceLineCircleTool() = default;

} // namespace Ostrel::Vision::Geometry
