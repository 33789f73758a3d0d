#include <Geometry/IntersectCircleCircleTool.h>
#include <Geometry/MathUtils.h>

#include "IntersectionToolFrame.h"

namespace Ostrel::Vision::Geometry {

template <> struct Implementation::IntersectionRow<IntersectCircleCircleTool> {
    static constexpr ToolNames names{
        {"CircleA", "CircleA"}, {"CircleB", "CircleB"}, CopiesBy::ImageRetentionMask};
    static void Defaults(Circle& a, Circle& b)
    {
        a.SetCenterRadius(50, 50, 30), b.SetCenterRadius(65, 65, 30);
    }
    // The count as computed; the third and fourth points are not kept.
    static bool Intersect(const Circle& a, const Circle& b, const IImage& image, TwoPointIntersection& r)
    {
        double x2, y2, x3, y3;
        return MathUtils::IntersectCircleCircle(a, b, &image, r.numPoints, r.x0, r.y0, r.x1, r.y1, x2, y2, x3,
                                                y3);
    }
};

OSTREL_GEOMETRY_INTERSECTION_TOOL_DEFINITIONS(IntersectCircleCircleTool)

} // namespace Ostrel::Vision::Geometry
