#include <Geometry/IntersectSegmentLineTool.h>
#include <Geometry/MathUtils.h>

#include "IntersectionToolFrame.h"

namespace Ostrel::Vision::Geometry {

template <> struct Implementation::IntersectionRow<IntersectSegmentLineTool> {
    static constexpr ToolNames names{{"Segment", "Segment"}, {"Line", "Line"}, CopiesBy::DiagnosticMask};
    static void Defaults(LineSegment&, Line& line) { line.SetXYRotation(10, 50, 0); }
    static bool Intersect(const LineSegment& segment, const Line& line, const IImage& image,
                          OnePointIntersection& r)
    {
        return MathUtils::IntersectSegmentLine(segment, line, &image, r.numPoints, r.x, r.y);
    }
};

OSTREL_GEOMETRY_INTERSECTION_TOOL_DEFINITIONS(IntersectSegmentLineTool)

} // namespace Ostrel::Vision::Geometry
