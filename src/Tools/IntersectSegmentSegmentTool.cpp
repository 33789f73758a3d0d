#include <Geometry/IntersectSegmentSegmentTool.h>
#include <Geometry/MathUtils.h>

#include "IntersectionToolFrame.h"

namespace Ostrel::Vision::Geometry {

template <> struct Implementation::IntersectionRow<IntersectSegmentSegmentTool> {
    static constexpr ToolNames names{
        {"SegmentA", "SegmentA"}, {"SegmentB", "SegmentB"}, CopiesBy::DiagnosticMask};
    static void Defaults(LineSegment& a, LineSegment& b)
    {
        a.SetStartEnd(20, 20, 120, 120);
        b.SetStartEnd(120, 20, 50, 120);
    }
    static bool Intersect(const LineSegment& a, const LineSegment& b, const IImage& image,
                          OnePointIntersection& r)
    {
        return MathUtils::IntersectSegmentSegment(a, b, &image, r.numPoints, r.x, r.y);
    }
};

OSTREL_GEOMETRY_INTERSECTION_TOOL_DEFINITIONS(IntersectSegmentSegmentTool)

} // namespace Ostrel::Vision::Geometry
