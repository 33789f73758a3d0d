#include <Geometry/DistancePointEllipseTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

using T = DistancePointEllipseTool;
static constexpr T::Row row{"Ellipse", "Ellipse", {"EllipseX", "EllipseY"},
                            T::SfDistance | T::SfEllipseX | T::SfEllipseY,
                            T::SfDistance | T::SfEllipseX | T::SfEllipseY,
                            &MathUtils::DistancePointEllipse};

T::DistancePointEllipseTool(ObjectCreateAccessToken) : PointShapeDistanceTool(row, 10, 10)
{
    shape_->SetCenterXYRadiusXYRotation(80, 30, 20, 15, 0);
}

T::DistancePointEllipseTool() : DistancePointEllipseTool(MakeAccessToken()) {}
T::~DistancePointEllipseTool() = default;

} // namespace Ostrel::Vision::Geometry
