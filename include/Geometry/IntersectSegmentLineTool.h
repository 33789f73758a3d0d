#pragma once
// The point where a segment meets a line, both ends of the segment included. Both shapes are
// mapped into the input image's space first. A segment lying on the line reports -1 and no
// point.

#include <Geometry/Implementation/IntersectionTool.h>
#include <Ostrel/Vision/Line.h>
#include <Ostrel/Vision/LineSegment.h>

namespace Ostrel::Vision::Geometry {

OSTREL_GEOMETRY_RECORD_SWITCH_ENUMS(IntersectSegmentLine,
                                    (Segment, 0x2)(Line, 0x4),
                                    (IntersectionPoint, 0x1),
                                    (Segment, 0x10)(Line, 0x20))

class OSTREL_GEOMETRY_API IntersectSegmentLineTool : public Implementation::GeometryToolBase {
public:
    OSTREL_GEOMETRY_TOOL(IntersectSegmentLine, Implementation::GeometryToolBase,
                         (Segment)(Line)(NumPoints)(X)(Y)(Intersects))

    OSTREL_GEOMETRY_SHAPE_INPUT(LineSegment, Segment, shapes_.a)
    OSTREL_GEOMETRY_SHAPE_INPUT(Line, Line, shapes_.b)
    OSTREL_GEOMETRY_ONE_POINT_OUTPUTS(result_)

    OSTREL_GEOMETRY_INTERSECTION_TOOL_TAIL(IntersectSegmentLineTool, LineSegment, Line,
                                           Implementation::OnePointIntersection)
};

} // namespace Ostrel::Vision::Geometry
