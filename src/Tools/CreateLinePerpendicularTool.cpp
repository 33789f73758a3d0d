#include <Geometry/CreateLinePerpendicularTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

static constexpr CreateLinePerpendicularTool::Row createLinePerpendicularRow{
    &MathUtils::CreateLinePerpendicular};

CreateLinePerpendicularTool::CreateLinePerpendicularTool(ObjectCreateAccessToken)
    : LineThroughPointTool(createLinePerpendicularRow, 40, 10)
{
    line_->SetFromStartXYEndXY(10, 10, 40, 20);
}

CreateLinePerpendicularTool::CreateLinePerpendicularTool() : CreateLinePerpendicularTool(MakeAccessToken()) {}
CreateLinePerpendicularTool::~CreateLinePerpendicularTool() = default;

} // namespace Ostrel::Vision::Geometry
