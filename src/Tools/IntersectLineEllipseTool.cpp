#include <Geometry/IntersectLineEllipseTool.h>
#include <Geometry/MathUtils.h>

#include "IntersectionToolFrame.h"

namespace Ostrel::Vision::Geometry {

template <> struct Implementation::IntersectionRow<IntersectLineEllipseTool> {
    static constexpr ToolNames names{{"Line", "Line"}, {"Ellipse", "Ellipse"}, CopiesBy::ImageRetentionMask};
    static void Defaults(Line& line, Ellipse&) { line.SetXYRotation(10, 50, 0.5); }
    static bool Intersect(const Line& line, const Ellipse& ellipse, const IImage& image,
                          TwoPointIntersection& r)
    {
        return MathUtils::IntersectLineEllipse(line, ellipse, &image, r.numPoints, r.x0, r.y0, r.x1, r.y1);
    }
};

OSTREL_GEOMETRY_INTERSECTION_TOOL_DEFINITIONS(IntersectLineEllipseTool)

} // namespace Ostrel::Vision::Geometry
