#include <Geometry/FitLineTool.h>

namespace Ostrel::Vision::Geometry {

FitLineTool::FitLineTool(ObjectCreateAccessToken)
    : FitToolBase(Quill::Create<FitLine>(), typeid(FitLineResult))
{
    AddPins(2, {"Result.GetLine()"});
}

} // namespace Ostrel::Vision::Geometry
