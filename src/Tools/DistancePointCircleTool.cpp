#include <Geometry/DistancePointCircleTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

using T = DistancePointCircleTool;
static constexpr T::Row row{"InputCircle", "Circle", {"CircleX", "CircleY"},
                            T::SfDistance | T::SfCircleX | T::SfCircleY,
                            T::SfDistance | T::SfCircleX | T::SfCircleY,
                            &MathUtils::DistancePointCircle};

T::DistancePointCircleTool(ObjectCreateAccessToken) : PointShapeDistanceTool(row, 10, 10)
{
    shape_->SetCenterRadius(80, 30, 20);
}

T::DistancePointCircleTool() : DistancePointCircleTool(MakeAccessToken()) {}
T::~DistancePointCircleTool() = default;

} // namespace Ostrel::Vision::Geometry
