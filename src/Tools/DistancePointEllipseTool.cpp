#include <Geometry/DistancePointEllipseTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

static constexpr DistancePointEllipseTool::Row distancePointEllipseRow{
    "Ellipse",
    "Ellipse",
    {"EllipseX", "EllipseY"},
    DistancePointEllipseTool::SfDistance | DistancePointEllipseTool::SfEllipseX |
        DistancePointEllipseTool::SfEllipseY,
    DistancePointEllipseTool::SfDistance | DistancePointEllipseTool::SfEllipseX |
        DistancePointEllipseTool::SfEllipseY,
    &MathUtils::DistancePointEllipse};

DistancePointEllipseTool::DistancePointEllipseTool(ObjectCreateAccessToken)
    : PointShapeDistanceTool(distancePointEllipseRow, 10, 10)
{
    shape_->SetCenterXYRadiusXYRotation(80, 30, 20, 15, 0);
}

DistancePointEllipseTool::DistancePointEllipseTool() : DistancePointEllipseTool(MakeAccessToken()) {}
DistancePointEllipseTool::~DistancePointEllipseTool() = default;

} // namespace Ostrel::Vision::Geometry
