#include <Geometry/DistanceSegmentCircleTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

using T = DistanceSegmentCircleTool;
static constexpr T::Row row{{"Segment", "Segment"}, {"InputCircle", "Circle"},
                            {"SegmentX", "SegmentY", "CircleX", "CircleY"},
                            T::SfDistance | T::SfSegmentX | T::SfSegmentY | T::SfCircleX | T::SfCircleY,
                            &MathUtils::DistanceSegmentCircle};

T::DistanceSegmentCircleTool(ObjectCreateAccessToken) : ShapePairDistanceTool(row)
{
    a_->SetStartEnd(160, 10, 120, 50);
    b_->SetCenterRadius(40, 30, 20);
}

T::DistanceSegmentCircleTool() : DistanceSegmentCircleTool(MakeAccessToken()) {}
T::~DistanceSegmentCircleTool() = default;

} // namespace Ostrel::Vision::Geometry
