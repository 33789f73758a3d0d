#pragma once
// An ellipse fitted to a list of points, optionally of a fixed rotation, with up to
// NumToIgnore of the points left out as outliers. Pins reach the first five points (the
// fewest that fix an ellipse) and the fitted ellipse.

#include <Geometry/FitEllipse.h>
#include <Geometry/Implementation/FitToolBase.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_FIT_TOOL_SWITCH_ENUMS(FitEllipse)

class OSTREL_GEOMETRY_API FitEllipseTool : public Implementation::FitToolBase {
public:
    OSTREL_GEOMETRY_FIT_TOOL(FitEllipse)
};

} // namespace Ostrel::Vision::Geometry
