#include <Geometry/CreateEllipseTool.h>

#include "ConstructionSupport.h"

namespace Ostrel::Vision::Geometry {

static constexpr CreateEllipseTool::Row createEllipseRow{
    "Ellipse",
    "inputEllipse",
    "InputEllipse",
    {"Ellipse.CenterX", "Ellipse.CenterY", "Ellipse.RadiusX", "Ellipse.RadiusY", "Ellipse.Rotation"},
    {"GetOutputEllipse()"},
    CreateEllipseTool::SfGetOutputEllipse,
    true,
    &Tools::MappedIntoImage<Vision::Ellipse>};

CreateEllipseTool::CreateEllipseTool(ObjectCreateAccessToken) : PassThroughTool(createEllipseRow) {}
CreateEllipseTool::CreateEllipseTool() : CreateEllipseTool(MakeAccessToken()) {}
CreateEllipseTool::~CreateEllipseTool() = default;

} // namespace Ostrel::Vision::Geometry
