#include <Geometry/DistanceLineEllipseTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

static constexpr DistanceLineEllipseTool::Row distanceLineEllipseRow{
    {"Line", "Line"},
    {"Ellipse", "Ellipse"},
    {"LineX", "LineY", "EllipseX", "EllipseY"},
    DistanceLineEllipseTool::SfDistance | DistanceLineEllipseTool::SfLineX |
        DistanceLineEllipseTool::SfLineY | DistanceLineEllipseTool::SfEllipseX |
        DistanceLineEllipseTool::SfEllipseY,
    &MathUtils::DistanceLineEllipse};

DistanceLineEllipseTool::DistanceLineEllipseTool(ObjectCreateAccessToken)
    : ShapePairDistanceTool(distanceLineEllipseRow)
{
    a_->SetXYRotation(10, 10, 1.3);
    b_->SetCenterXYRadiusXYRotation(100, 50, 20, 40, 0);
}

DistanceLineEllipseTool::DistanceLineEllipseTool() : DistanceLineEllipseTool(MakeAccessToken()) {}
DistanceLineEllipseTool::~DistanceLineEllipseTool() = default;

} // namespace Ostrel::Vision::Geometry
