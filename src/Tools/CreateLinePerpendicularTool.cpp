#include <Geometry/CreateLinePerpendicularTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

using T = CreateLinePerpendicularTool;
static constexpr T::Row row{&MathUtils::CreateLinePerpendicular};

T::CreateLinePerpendicularTool(ObjectCreateAccessToken) : LineThroughPointTool(row, 40, 10)
{
    line_->SetFromStartXYEndXY(10, 10, 40, 20);
}

T::CreateLinePerpendicularTool() : CreateLinePerpendicularTool(MakeAccessToken()) {}
T::~CreateLinePerpendicularTool() = default;

} // namespace Ostrel::Vision::Geometry
