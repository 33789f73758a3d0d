#include <Geometry/DistancePointSegmentTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

using T = DistancePointSegmentTool;
// Unlike its siblings, the tool's reset raises the distance's flag alone.
static constexpr T::Row row{"Segment", "Segment", {"SegmentX", "SegmentY"},
                            T::SfDistance,
                            T::SfDistance | T::SfSegmentX | T::SfSegmentY,
                            &MathUtils::DistancePointSegment};

T::DistancePointSegmentTool(ObjectCreateAccessToken) : PointShapeDistanceTool(row, 10, 10)
{
    shape_->SetStartEnd(160, 10, 120, 50);
}

T::DistancePointSegmentTool() : DistancePointSegmentTool(MakeAccessToken()) {}
T::~DistancePointSegmentTool() = default;

} // namespace Ostrel::Vision::Geometry
