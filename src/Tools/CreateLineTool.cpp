#include <Geometry/CreateLineTool.h>

#include "ConstructionSupport.h"

namespace Ostrel::Vision::Geometry {

using T = CreateLineTool;
static constexpr T::Row row{"Line", "inputLine", "InputLine", {"Line.X", "Line.Y", "Line.Rotation"},
                            {"GetOutputLine()"}, T::SfGetOutputLine, true, &Tools::MappedIntoImage<Vision::Line>};

T::CreateLineTool(ObjectCreateAccessToken) : PassThroughTool(row) {}
T::CreateLineTool() : CreateLineTool(MakeAccessToken()) {}
T::~CreateLineTool() = default;

} // namespace Ostrel::Vision::Geometry
