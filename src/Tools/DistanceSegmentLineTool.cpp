#include <Geometry/DistanceSegmentLineTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

using T = DistanceSegmentLineTool;
static constexpr T::Row row{{"Segment", "Segment"}, {"Line", "Line"},
                            {"SegmentX", "SegmentY", "LineX", "LineY"},
                            T::SfDistance | T::SfSegmentX | T::SfSegmentY | T::SfLineX | T::SfLineY,
                            &MathUtils::DistanceSegmentLine};

T::DistanceSegmentLineTool(ObjectCreateAccessToken) : ShapePairDistanceTool(row)
{
    a_->SetStartEnd(160, 10, 120, 20);
    b_->SetXYRotation(10, 10, 0.75);
}

T::DistanceSegmentLineTool() : DistanceSegmentLineTool(MakeAccessToken()) {}
T::~DistanceSegmentLineTool() = default;

} // namespace Ostrel::Vision::Geometry
