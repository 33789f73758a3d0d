#include <Geometry/DistancePointLineTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

using T = DistancePointLineTool;
static constexpr T::Row row{"Line", "Line", {"LineX", "LineY"},
                            T::SfDistance | T::SfLineX | T::SfLineY,
                            T::SfDistance | T::SfLineX | T::SfLineY,
                            &MathUtils::DistancePointLine};

// The point starts off the line, beneath it.
T::DistancePointLineTool(ObjectCreateAccessToken) : PointShapeDistanceTool(row, 10, 60)
{
    shape_->SetFromStartXYEndXY(10, 10, 40, 20);
}

T::DistancePointLineTool() : DistancePointLineTool(MakeAccessToken()) {}
T::~DistancePointLineTool() = default;

} // namespace Ostrel::Vision::Geometry
