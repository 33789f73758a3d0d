#pragma once
// A line fitted to a list of points, with up to NumToIgnore of them left out as outliers.
// Pins reach the first two points and the fitted line.

#include <Geometry/FitLine.h>
#include <Geometry/Implementation/FitToolBase.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_FIT_TOOL_SWITCH_ENUMS(FitLine)

class OSTREL_GEOMETRY_API FitLineTool : public Implementation::FitToolBase {
public:
    OSTREL_GEOMETRY_FIT_TOOL(FitLine)
};

} // namespace Ostrel::Vision::Geometry
