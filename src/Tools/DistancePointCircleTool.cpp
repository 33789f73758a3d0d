#include <Geometry/DistancePointCircleTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

static constexpr DistancePointCircleTool::Row distancePointCircleRow{
    "InputCircle",
    "Circle",
    {"CircleX", "CircleY"},
    DistancePointCircleTool::SfDistance | DistancePointCircleTool::SfCircleX |
        DistancePointCircleTool::SfCircleY,
    DistancePointCircleTool::SfDistance | DistancePointCircleTool::SfCircleX |
        DistancePointCircleTool::SfCircleY,
    &MathUtils::DistancePointCircle};

DistancePointCircleTool::DistancePointCircleTool(ObjectCreateAccessToken)
    : PointShapeDistanceTool(distancePointCircleRow, 10, 10)
{
    shape_->SetCenterRadius(80, 30, 20);
}

DistancePointCircleTool::DistancePointCircleTool() : DistancePointCircleTool(MakeAccessToken()) {}
DistancePointCircleTool::~DistancePointCircleTool() = default;

} // namespace Ostrel::Vision::Geometry
