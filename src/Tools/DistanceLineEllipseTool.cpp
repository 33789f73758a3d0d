#include <Geometry/DistanceLineEllipseTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

using T = DistanceLineEllipseTool;
static constexpr T::Row row{{"Line", "Line"}, {"Ellipse", "Ellipse"},
                            {"LineX", "LineY", "EllipseX", "EllipseY"},
                            T::SfDistance | T::SfLineX | T::SfLineY | T::SfEllipseX | T::SfEllipseY,
                            &MathUtils::DistanceLineEllipse};

T::DistanceLineEllipseTool(ObjectCreateAccessToken) : ShapePairDistanceTool(row)
{
    a_->SetXYRotation(10, 10, 1.3);
    b_->SetCenterXYRadiusXYRotation(100, 50, 20, 40, 0);
}

T::DistanceLineEllipseTool() : DistanceLineEllipseTool(MakeAccessToken()) {}
T::~DistanceLineEllipseTool() = default;

} // namespace Ostrel::Vision::Geometry
