#include <Geometry/FitEllipseTool.h>

namespace Ostrel::Vision::Geometry {

FitEllipseTool::FitEllipseTool(ObjectCreateAccessToken)
    : FitToolBase(Quill::Create<FitEllipse>(), typeid(FitEllipseResult))
{
    AddPins(5, {"Result.GetEllipse()"});
}

} // namespace Ostrel::Vision::Geometry
