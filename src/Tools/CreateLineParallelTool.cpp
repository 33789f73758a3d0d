#include <Geometry/CreateLineParallelTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

using T = CreateLineParallelTool;
static constexpr T::Row row{&MathUtils::CreateLineParallel};

T::CreateLineParallelTool(ObjectCreateAccessToken) : LineThroughPointTool(row, 10, 10)
{
    line_->SetFromStartXYEndXY(10, 40, 40, 60);
}

T::CreateLineParallelTool() : CreateLineParallelTool(MakeAccessToken()) {}
T::~CreateLineParallelTool() = default;

} // namespace Ostrel::Vision::Geometry
