#include <Geometry/IntersectLineLineTool.h>
#include <Geometry/MathUtils.h>

#include "IntersectionToolFrame.h"

namespace Ostrel::Vision::Geometry {

template <> struct Implementation::IntersectionRow<IntersectLineLineTool> {
    static constexpr ToolNames names{{"LineA", "LineA"}, {"LineB", "LineB"}, CopiesBy::DiagnosticMask};
    static void Defaults(Line& a, Line& b)
    {
        a.SetXYRotation(10, 40, 0);
        b.SetXYRotation(0, 0, 0.5);
    }
    static bool Intersect(const Line& a, const Line& b, const IImage& image, LineLineIntersection& r)
    {
        return MathUtils::IntersectLineLine(a, b, image, r.numPoints, r.x, r.y, r.angle);
    }
};

OSTREL_GEOMETRY_INTERSECTION_TOOL_DEFINITIONS(IntersectLineLineTool)

} // namespace Ostrel::Vision::Geometry
