#include <Geometry/DistanceLineCircleTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

using T = DistanceLineCircleTool;
static constexpr T::Row row{{"Line", "Line"}, {"InputCircle", "Circle"},
                            {"LineX", "LineY", "CircleX", "CircleY"},
                            T::SfDistance | T::SfLineX | T::SfLineY | T::SfCircleX | T::SfCircleY,
                            &MathUtils::DistanceLineCircle};

T::DistanceLineCircleTool(ObjectCreateAccessToken) : ShapePairDistanceTool(row)
{
    a_->SetFromStartXYEndXY(10, 10, 40, 20);
    b_->SetCenterRadius(50, 100, 20);
}

T::DistanceLineCircleTool() : DistanceLineCircleTool(MakeAccessToken()) {}
T::~DistanceLineCircleTool() = default;

} // namespace Ostrel::Vision::Geometry
