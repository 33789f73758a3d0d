#include <Geometry/FitCircleTool.h>

namespace Ostrel::Vision::Geometry {

FitCircleTool::FitCircleTool(ObjectCreateAccessToken)
    : FitToolBase(Quill::Create<FitCircle>(), typeid(FitCircleResult))
{
    AddPins(3, {"Result.GetCircle()", "Result.GetCircle().CenterX", "Result.GetCircle().CenterY",
                "Result.GetCircle().Radius"});
}

} // namespace Ostrel::Vision::Geometry
