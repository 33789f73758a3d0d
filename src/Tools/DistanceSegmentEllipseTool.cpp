#include <Geometry/DistanceSegmentEllipseTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

static constexpr DistanceSegmentEllipseTool::Row distanceSegmentEllipseRow{
    {"Segment", "Segment"},
    {"Ellipse", "Ellipse"},
    {"SegmentX", "SegmentY", "EllipseX", "EllipseY"},
    DistanceSegmentEllipseTool::SfDistance | DistanceSegmentEllipseTool::SfSegmentX |
        DistanceSegmentEllipseTool::SfSegmentY | DistanceSegmentEllipseTool::SfEllipseX |
        DistanceSegmentEllipseTool::SfEllipseY,
    &MathUtils::DistanceSegmentEllipse};

DistanceSegmentEllipseTool::DistanceSegmentEllipseTool(ObjectCreateAccessToken)
    : ShapePairDistanceTool(distanceSegmentEllipseRow)
{
    a_->SetStartEnd(100, 10, 140, 50);
    b_->SetCenterXYRadiusXYRotation(30, 30, 25, 15, 0);
}

DistanceSegmentEllipseTool::DistanceSegmentEllipseTool() : DistanceSegmentEllipseTool(MakeAccessToken()) {}
DistanceSegmentEllipseTool::~DistanceSegmentEllipseTool() = default;

} // namespace Ostrel::Vision::Geometry
