#include <Geometry/DistanceSegmentEllipseTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

using T = DistanceSegmentEllipseTool;
static constexpr T::Row row{{"Segment", "Segment"}, {"Ellipse", "Ellipse"},
                            {"SegmentX", "SegmentY", "EllipseX", "EllipseY"},
                            T::SfDistance | T::SfSegmentX | T::SfSegmentY | T::SfEllipseX | T::SfEllipseY,
                            &MathUtils::DistanceSegmentEllipse};

T::DistanceSegmentEllipseTool(ObjectCreateAccessToken) : ShapePairDistanceTool(row)
{
    a_->SetStartEnd(100, 10, 140, 50);
    b_->SetCenterXYRadiusXYRotation(30, 30, 25, 15, 0);
}

T::DistanceSegmentEllipseTool() : DistanceSegmentEllipseTool(MakeAccessToken()) {}
T::~DistanceSegmentEllipseTool() = default;

} // namespace Ostrel::Vision::Geometry
