#include <Geometry/DistanceCircleCircleTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

static constexpr DistanceCircleCircleTool::Row distanceCircleCircleRow{
    {"CircleA", "CircleA"},
    {"CircleB", "CircleB"},
    {"CircleAX", "CircleAY", "CircleBX", "CircleBY"},
    DistanceCircleCircleTool::SfDistance | DistanceCircleCircleTool::SfCircleAX |
        DistanceCircleCircleTool::SfCircleAY | DistanceCircleCircleTool::SfCircleBX |
        DistanceCircleCircleTool::SfCircleBY,
    &MathUtils::DistanceCircleCircle};

DistanceCircleCircleTool::DistanceCircleCircleTool(ObjectCreateAccessToken)
    : ShapePairDistanceTool(distanceCircleCircleRow)
{
    a_->SetCenterRadius(30, 30, 20);
    b_->SetCenterRadius(100, 40, 15);
}

DistanceCircleCircleTool::DistanceCircleCircleTool() : DistanceCircleCircleTool(MakeAccessToken()) {}
DistanceCircleCircleTool::~DistanceCircleCircleTool() = default;

} // namespace Ostrel::Vision::Geometry
