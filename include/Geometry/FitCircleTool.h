#pragma once
// A circle fitted to a list of points, optionally of a fixed radius, with up to
// NumToIgnore of the points left out as outliers. Pins reach the first three points, the
// fitted circle, its centre and its radius.

#include <Geometry/FitCircle.h>
#include <Geometry/Implementation/FitToolBase.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_FIT_TOOL_SWITCH_ENUMS(FitCircle)

class OSTREL_GEOMETRY_API FitCircleTool : public Implementation::FitToolBase {
public:
    OSTREL_GEOMETRY_FIT_TOOL(FitCircle)
};

} // namespace Ostrel::Vision::Geometry
