#include <Geometry/DistanceCircleCircleTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

using T = DistanceCircleCircleTool;
static constexpr T::Row row{{"CircleA", "CircleA"}, {"CircleB", "CircleB"},
                            {"CircleAX", "CircleAY", "CircleBX", "CircleBY"},
                            T::SfDistance | T::SfCircleAX | T::SfCircleAY | T::SfCircleBX | T::SfCircleBY,
                            &MathUtils::DistanceCircleCircle};

T::DistanceCircleCircleTool(ObjectCreateAccessToken) : ShapePairDistanceTool(row)
{
    a_->SetCenterRadius(30, 30, 20);
    b_->SetCenterRadius(100, 40, 15);
}

T::DistanceCircleCircleTool() : DistanceCircleCircleTool(MakeAccessToken()) {}
T::~DistanceCircleCircleTool() = default;

} // namespace Ostrel::Vision::Geometry
