#include <Geometry/IntersectLineCircleTool.h>
#include <Geometry/MathUtils.h>

#include "IntersectionToolFrame.h"

namespace Ostrel::Vision::Geometry {

template <> struct Implementation::IntersectionRow<IntersectLineCircleTool> {
    static constexpr ToolNames names{{"Line", "Line"}, {"InputCircle", "Circle"}, CopiesBy::DiagnosticMask};
    static void Defaults(Line& line, Circle&) { line.SetXYRotation(10, 50, 0.5); }
    static bool Intersect(const Line& line, const Circle& circle, const IImage& image,
                          TwoPointIntersection& r)
    {
        return MathUtils::IntersectLineCircle(line, circle, &image, r.numPoints, r.x0, r.y0, r.x1, r.y1);
    }
};

OSTREL_GEOMETRY_INTERSECTION_TOOL_DEFINITIONS(IntersectLineCircleTool)

} // namespace Ostrel::Vision::Geometry
