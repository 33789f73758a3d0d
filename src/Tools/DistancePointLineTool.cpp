#include <Geometry/DistancePointLineTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

static constexpr DistancePointLineTool::Row distancePointLineRow{
    "Line",
    "Line",
    {"LineX", "LineY"},
    DistancePointLineTool::SfDistance | DistancePointLineTool::SfLineX | DistancePointLineTool::SfLineY,
    DistancePointLineTool::SfDistance | DistancePointLineTool::SfLineX | DistancePointLineTool::SfLineY,
    &MathUtils::DistancePointLine};

// The point starts off the line, beneath it.
DistancePointLineTool::DistancePointLineTool(ObjectCreateAccessToken)
    : PointShapeDistanceTool(distancePointLineRow, 10, 60)
{
    shape_->SetFromStartXYEndXY(10, 10, 40, 20);
}

DistancePointLineTool::DistancePointLineTool() : DistancePointLineTool(MakeAccessToken()) {}
DistancePointLineTool::~DistancePointLineTool() = default;

} // namespace Ostrel::Vision::Geometry
