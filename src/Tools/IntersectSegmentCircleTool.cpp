#include <Geometry/IntersectSegmentCircleTool.h>
#include <Geometry/MathUtils.h>

#include "IntersectionToolFrame.h"

namespace Ostrel::Vision::Geometry {

template <> struct Implementation::IntersectionRow<IntersectSegmentCircleTool> {
    static constexpr ToolNames names{
        {"Segment", "Segment"}, {"InputCircle", "Circle"}, CopiesBy::DiagnosticMask};
    static void Defaults(LineSegment&, Circle&) {}
    static bool Intersect(const LineSegment& segment, const Circle& circle, const IImage& image,
                          TwoPointIntersection& r)
    {
        return MathUtils::IntersectSegmentCircle(segment, circle, &image, r.numPoints, r.x0, r.y0, r.x1,
                                                 r.y1);
    }
};

OSTREL_GEOMETRY_INTERSECTION_TOOL_DEFINITIONS(IntersectSegmentCircleTool)

} // namespace Ostrel::Vision::Geometry
