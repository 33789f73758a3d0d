#include <Geometry/CreateEllipseTool.h>

#include "ConstructionSupport.h"

namespace Ostrel::Vision::Geometry {

using T = CreateEllipseTool;
static constexpr T::Row row{"Ellipse", "inputEllipse", "InputEllipse",
                            {"Ellipse.CenterX", "Ellipse.CenterY", "Ellipse.RadiusX", "Ellipse.RadiusY",
                             "Ellipse.Rotation"},
                            {"GetOutputEllipse()"}, T::SfGetOutputEllipse, true,
                            &Tools::MappedIntoImage<Vision::Ellipse>};

T::CreateEllipseTool(ObjectCreateAccessToken) : PassThroughTool(row) {}
T::CreateEllipseTool() : CreateEllipseTool(MakeAccessToken()) {}
T::~CreateEllipseTool() = default;

} // namespace Ostrel::Vision::Geometry
