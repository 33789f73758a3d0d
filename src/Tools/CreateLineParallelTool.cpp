#include <Geometry/CreateLineParallelTool.h>
#include <Geometry/MathUtils.h>

namespace Ostrel::Vision::Geometry {

static constexpr CreateLineParallelTool::Row createLineParallelRow{&MathUtils::CreateLineParallel};

CreateLineParallelTool::CreateLineParallelTool(ObjectCreateAccessToken)
    : LineThroughPointTool(createLineParallelRow, 10, 10)
{
    line_->SetFromStartXYEndXY(10, 40, 40, 60);
}

CreateLineParallelTool::CreateLineParallelTool() : CreateLineParallelTool(MakeAccessToken()) {}
CreateLineParallelTool::~CreateLineParallelTool() = default;

} // namespace Ostrel::Vision::Geometry
