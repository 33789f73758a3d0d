#include <Geometry/DistanceSegmentSegmentTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

using T = DistanceSegmentSegmentTool;
static constexpr T::Row row{{"SegmentA", "SegmentA"}, {"SegmentB", "SegmentB"},
                            {"SegmentAX", "SegmentAY", "SegmentBX", "SegmentBY"},
                            T::SfDistance | T::SfSegmentAX | T::SfSegmentAY | T::SfSegmentBX | T::SfSegmentBY,
                            &MathUtils::DistanceSegmentSegment};

T::DistanceSegmentSegmentTool(ObjectCreateAccessToken) : ShapePairDistanceTool(row)
{
    a_->SetStartEnd(60, 10, 70, 50);
    b_->SetStartEnd(160, 10, 150, 50);
}

T::DistanceSegmentSegmentTool() : DistanceSegmentSegmentTool(MakeAccessToken()) {}
T::~DistanceSegmentSegmentTool() = default;

} // namespace Ostrel::Vision::Geometry
