#include <Geometry/CreateLineTool.h>

#include "ConstructionSupport.h"

namespace Ostrel::Vision::Geometry {

static constexpr CreateLineTool::Row createLineRow{"Line",
                                                   "inputLine",
                                                   "InputLine",
                                                   {"Line.X", "Line.Y", "Line.Rotation"},
                                                   {"GetOutputLine()"},
                                                   CreateLineTool::SfGetOutputLine,
                                                   true,
                                                   &Tools::MappedIntoImage<Vision::Line>};

CreateLineTool::CreateLineTool(ObjectCreateAccessToken) : PassThroughTool(createLineRow) {}
CreateLineTool::CreateLineTool() : CreateLineTool(MakeAccessToken()) {}
CreateLineTool::~CreateLineTool() = default;

} // namespace Ostrel::Vision::Geometry
