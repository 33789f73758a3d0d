#include <Geometry/IntersectSegmentEllipseTool.h>
#include <Geometry/MathUtils.h>

#include "IntersectionToolFrame.h"

namespace Ostrel::Vision::Geometry {

template <> struct Implementation::IntersectionRow<IntersectSegmentEllipseTool> {
    static constexpr ToolNames names{
        {"Segment", "Segment"}, {"Ellipse", "Ellipse"}, CopiesBy::ImageRetentionMask};
    static void Defaults(LineSegment&, Ellipse&) {}
    static bool Intersect(const LineSegment& segment, const Ellipse& ellipse, const IImage& image,
                          TwoPointIntersection& r)
    {
        return MathUtils::IntersectSegmentEllipse(segment, ellipse, &image, r.numPoints, r.x0, r.y0, r.x1,
                                                  r.y1);
    }
};

OSTREL_GEOMETRY_INTERSECTION_TOOL_DEFINITIONS(IntersectSegmentEllipseTool)

} // namespace Ostrel::Vision::Geometry
